#include "platform/qt/qt_canvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QLineF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QString>

#include "platform/qt/qt_line_raster.h"

namespace {

QColor toQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

// Width 0 is Qt's cosmetic one-pixel pen: the outline of the ellipses.
QPen cosmeticPen(Color color) {
  QPen pen(toQColor(color), 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  pen.setCosmetic(true);
  return pen;
}

// One logical pixel wide, round where the pieces of a polyline meet.
QPen vectorPen(Color color) { return QPen(toQColor(color), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

QPen penFor(QtCanvas::Form form, Color color) {
  return form == QtCanvas::Form::Vector ? vectorPen(color) : cosmeticPen(color);
}

// Liang-Barsky: cuts the segment to the box; false when nothing is left.
bool clipSegment(QLineF& line, const QRectF& box) {
  const qreal dx = line.dx();
  const qreal dy = line.dy();
  qreal t0 = 0;
  qreal t1 = 1;
  const qreal p[4] = {-dx, dx, -dy, dy};
  const qreal q[4] = {line.x1() - box.left(), box.right() - line.x1(), line.y1() - box.top(),
                      box.bottom() - line.y1()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const qreal t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  const QPointF start = line.p1();
  line = QLineF(start + t0 * QPointF(dx, dy), start + t1 * QPointF(dx, dy));
  return true;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, Form form)
    : painter_(painter),
      form_(form),
      pixelRatio_(painter.device() ? painter.device()->devicePixelRatioF() : 1.0),
      // A widget reports its size in logical pixels, an image in device
      // pixels: either way no logical pixel beyond this can show.
      deviceBounds_(painter.device() ? QRect(0, 0, painter.device()->width(), painter.device()->height())
                                     : QRect()) {
  painter_.setRenderHint(QPainter::Antialiasing, form_ == Form::Vector);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.setPen(penFor(form_, pen_));
  painter_.setBrush(toQColor(brush_));
}

Color QtCanvas::selectPen(Color color) {
  const Color previous = pen_;
  pen_ = color;
  painter_.setPen(penFor(form_, pen_));
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
  if (form_ == Form::Vector) {
    vectorLine(position_, end);
  } else {
    lineRuns(position_, end, clip_ ? clip_->intersected(deviceBounds_) : deviceBounds_, runs_);
    const QColor color = toQColor(pen_);
    for (const QRect& run : runs_) painter_.fillRect(run, color);
  }
  position_ = end;
}

void QtCanvas::vectorLine(QPoint from, QPoint to) {
  if (from == to) return;
  const QPointF centre(0.5, 0.5);
  QLineF line(QPointF(from) + centre, QPointF(to) + centre);
  // The SVG output keeps no clip region, so lines are cut here.
  const QRectF box = QRectF(clip_ ? *clip_ : deviceBounds_);
  if (!clipSegment(line, box)) return;
  painter_.drawLine(line);
}

void QtCanvas::ellipse(int left, int top, int right, int bottom) {
  const int width = right - left;
  const int height = bottom - top;
  if (width <= 0 || height <= 0) return;
  if (form_ == Form::Vector) {
    const QRect box(left, top, width, height);
    if (clip_ && !clip_->intersects(box)) return;
    painter_.drawEllipse(QRectF(left + 0.5, top + 0.5, width - 1, height - 1));
    return;
  }
  if (pixelRatio_ == 1.0) {
    // The outline of a QRect covers its width + 1 columns, so this box ends on
    // the last pixel inside the exclusive (right, bottom) edge.
    painter_.drawEllipse(QRect(left, top, width - 1, height - 1));
    return;
  }
  // At a higher pixel ratio Qt would draw a finer, different ellipse: the dot
  // is drawn at 1x and each of its pixels enlarged.
  painter_.drawImage(QRect(left, top, width, height), ellipseStamp(width, height));
}

const QImage& QtCanvas::ellipseStamp(int width, int height) {
  QImage& stamp = stamps_[{width, height, pen_, brush_}];
  if (stamp.isNull()) {
    stamp = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    stamp.fill(Qt::transparent);
    QPainter painter(&stamp);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(cosmeticPen(pen_));
    painter.setBrush(toQColor(brush_));
    painter.drawEllipse(QRect(0, 0, width - 1, height - 1));
  }
  return stamp;
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
  painter_.setPen(penFor(form_, pen_));
}

Color QtCanvas::setTextColor(Color color) {
  const Color previous = textColor_;
  textColor_ = color;
  return previous;
}

void QtCanvas::setClipRect(const Rect* rect) {
  if (rect == nullptr) {
    clip_.reset();
    painter_.setClipping(false);
    return;
  }
  clip_ = QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  // Lines are cut by the walk itself; the clip also holds the dots.
  if (form_ == Form::Pixels) painter_.setClipRect(*clip_);
}
