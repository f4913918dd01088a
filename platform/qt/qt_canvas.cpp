#include "platform/qt/qt_canvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QString>

namespace {

QColor toQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

// Width 0 is Qt's cosmetic one-pixel pen; the flat cap leaves out the last
// pixel of a line, as GDI's LineTo does, so a polyline covers each joint once.
QPen cosmeticPen(Color color) {
  QPen pen(toQColor(color), 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  pen.setCosmetic(true);
  return pen;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.setPen(cosmeticPen(pen_));
  painter_.setBrush(toQColor(brush_));
}

Color QtCanvas::selectPen(Color color) {
  const Color previous = pen_;
  pen_ = color;
  painter_.setPen(cosmeticPen(pen_));
  return previous;
}

Color QtCanvas::selectBrush(Color color) {
  const Color previous = brush_;
  brush_ = color;
  painter_.setBrush(toQColor(brush_));
  return previous;
}

void QtCanvas::moveTo(int x, int y) { position_ = QPoint(x, y); }

void QtCanvas::lineTo(int x, int y) {
  const QPoint end(x, y);
  painter_.drawLine(position_, end);
  position_ = end;
}

void QtCanvas::ellipse(int left, int top, int right, int bottom) {
  // The outline of a QRect covers its width + 1 columns, so this box ends on
  // the last pixel inside the exclusive (right, bottom) edge.
  painter_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void QtCanvas::frameRect(const Rect& rect, Color brush) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  const QColor color = toQColor(brush);
  painter_.fillRect(QRect(rect.left, rect.top, width, 1), color);
  painter_.fillRect(QRect(rect.left, rect.bottom - 1, width, 1), color);
  painter_.fillRect(QRect(rect.left, rect.top, 1, height), color);
  painter_.fillRect(QRect(rect.right - 1, rect.top, 1, height), color);
}

Size QtCanvas::textExtent(const std::string& text) {
  const QFontMetrics metrics(painter_.font());
  return Size{metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

void QtCanvas::drawText(const std::string& text, const Rect& rect, unsigned format) {
  int flags = (format & DT_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
  if (format & DT_SINGLELINE) {
    flags |= Qt::TextSingleLine;
    // GDI centres vertically only on a single line.
    flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
  } else {
    flags |= Qt::AlignTop;  // breaks only at '\n', like GDI without DT_WORDBREAK
  }
  const QRect box(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  painter_.setPen(toQColor(textColor_));
  painter_.drawText(box, flags, QString::fromStdString(text));
  painter_.setPen(cosmeticPen(pen_));
}

Color QtCanvas::setTextColor(Color color) {
  const Color previous = textColor_;
  textColor_ = color;
  return previous;
}
