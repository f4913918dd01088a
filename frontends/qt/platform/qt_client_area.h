#pragma once
// The main window's client area: each paint event fills it white and lets the
// window procedure draw the whole picture.
#include <QWidget>

#include "frontends/qt/platform/qt_canvas.h"
#include "platform/window.h"

class QtClientArea : public QWidget {
 public:
  QtClientArea(Window& window, WindowProcedure procedure);

  // The whole picture on any painter: white over `size` (the area's own when
  // empty), then the paint.
  void render(QPainter& painter, QtCanvas::Form form, QSize size = QSize());

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Window& window_;
  WindowProcedure procedure_;
};
