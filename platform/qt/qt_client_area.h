#pragma once
// The main window's client area: each paint event fills it white and lets the
// window procedure draw the whole picture.
#include <QWidget>

#include "platform/window.h"

class QtClientArea : public QWidget {
 public:
  QtClientArea(Window& window, WindowProcedure procedure);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Window& window_;
  WindowProcedure procedure_;
};
