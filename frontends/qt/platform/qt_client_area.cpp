#include "frontends/qt/platform/qt_client_area.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <string>

#include "frontends/qt/platform/qt_canvas.h"

QtClientArea::QtClientArea(Window& window, WindowProcedure procedure)
    : window_(window), procedure_(procedure) {
  // Every paint covers the whole area. Without WA_StaticContents a resize
  // repaints all of it, which the picture needs: it scales with the size.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The tip changes along the envelope, not only where the pointer rests.
  setMouseTracking(true);
}

QString QtClientArea::tipAt(QPoint at) {
  std::string text;
  MessageParams params;
  params.x = at.x();
  params.y = at.y();
  params.text = &text;
  procedure_(window_, WindowMessage::ToolTip, params);
  if (text.empty()) return toolTip();
  // As rich text, which a tip wraps into a readable column.
  return QStringLiteral("<p>") + QString::fromStdString(text).toHtmlEscaped().replace('\n', QStringLiteral("<br>")) +
         QStringLiteral("</p>");
}

void QtClientArea::showTip(QPoint at, QPoint global) {
  const QString tip = tipAt(at);
  if (tip.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(global, tip, this);
  }
}

bool QtClientArea::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  showTip(help->pos(), help->globalPos());
  return true;
}

void QtClientArea::mouseMoveEvent(QMouseEvent* event) {
  if (QToolTip::isVisible()) showTip(event->position().toPoint(), event->globalPosition().toPoint());
  QWidget::mouseMoveEvent(event);
}

void QtClientArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    QToolTip::hideText();
    MessageParams params;
    params.x = event->position().toPoint().x();
    params.y = event->position().toPoint().y();
    procedure_(window_, WindowMessage::Click, params);
  }
  QWidget::mouseReleaseEvent(event);
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
