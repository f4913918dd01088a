#pragma once
// The main window's client area: each paint event fills it white and lets the
// window procedure draw the whole picture. The pointer's tip follows the
// pointer, asked of the procedure at each pixel; a click is reported to it.
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
  bool event(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The procedure's tip at a pixel, or the area's own tool tip.
  QString tipAt(QPoint at);
  void showTip(QPoint at, QPoint global);

  Window& window_;
  WindowProcedure procedure_;
};
