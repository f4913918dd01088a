#include "frontends/qt/platform/qt_client_area.h"

#include <QPainter>

#include "frontends/qt/platform/qt_canvas.h"

QtClientArea::QtClientArea(Window& window, WindowProcedure procedure)
    : window_(window), procedure_(procedure) {
  // Every paint covers the whole area. Without WA_StaticContents a resize
  // repaints all of it, which the picture needs: it scales with the size.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtClientArea::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  QPainter painter(this);
  render(painter, QtCanvas::Form::Pixels);
}

void QtClientArea::render(QPainter& painter, QtCanvas::Form form, QSize size) {
  painter.fillRect(QRect(QPoint(0, 0), size.isEmpty() ? this->size() : size), Qt::white);
  // The canvas finishes its last path when it goes, before the painter does.
  QtCanvas canvas(painter, form);
  MessageParams params;
  params.canvas = &canvas;
  procedure_(window_, WindowMessage::Paint, params);
}
