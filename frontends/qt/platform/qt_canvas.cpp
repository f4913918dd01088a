#include "frontends/qt/platform/qt_canvas.h"

#include <cmath>

#include <QColor>
#include <QFontMetrics>
#include <QLineF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QString>

#include "frontends/qt/platform/qt_line_raster.h"

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

// `width` logical pixels wide, round where the pieces of a polyline meet.
QPen roundPen(Color color, int width) {
  return QPen(toQColor(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Dashes and gaps of 6 and 4 pen widths, ends cut square so that the gaps stay open.
QPen dashedPen(Color color, int width) {
  QPen pen(toQColor(color), width, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
  pen.setDashPattern({6, 4});
  return pen;
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
                                     : QRect()),
      baseFont_(painter.font()) {
  painter_.setRenderHint(QPainter::Antialiasing, form_ == Form::Vector);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.setPen(linePen());
  painter_.setBrush(toQColor(brush_));
}

QtCanvas::~QtCanvas() { flush(); }

QPen QtCanvas::linePen() const {
  if (penStyle_ == PenStyle::dashed) return dashedPen(pen_, penWidth_);
  return pathsLines() ? roundPen(pen_, penWidth_) : cosmeticPen(pen_);
}

Color QtCanvas::selectPen(Color color) {
  flush();
  const Color previous = pen_;
  pen_ = color;
  painter_.setPen(linePen());
  return previous;
}

PenStyle QtCanvas::selectPenStyle(PenStyle style) {
  flush();
  const PenStyle previous = penStyle_;
  penStyle_ = style;
  painter_.setPen(linePen());
  return previous;
}

Color QtCanvas::selectBrush(Color color) {
  const Color previous = brush_;
  brush_ = color;
  painter_.setBrush(toQColor(brush_));
  return previous;
}

void QtCanvas::setPenWidth(int width) {
  if (width < 1 || width == penWidth_) return;
  flush();
  penWidth_ = width;
  painter_.setPen(linePen());
}

void QtCanvas::setTextScale(double scale) {
  if (!(scale > 0) || scale == textScale_) return;
  flush();
  textScale_ = scale;
  QFont font = baseFont_;
  if (baseFont_.pointSizeF() > 0) {
    font.setPointSizeF(baseFont_.pointSizeF() * scale);
  } else if (baseFont_.pixelSize() > 0) {
    font.setPixelSize(static_cast<int>(baseFont_.pixelSize() * scale + 0.5));
  }
  painter_.setFont(font);
}

namespace {
// Integer coordinates name a pixel; lines run through its centre.
QPointF centreOf(QPoint p) { return QPointF(p) + QPointF(0.5, 0.5); }

// Far-off, infinite or NaN coordinates become a point far outside any
// picture, as the integer conversion does, so that clipping stays exact.
QPointF saturated(double x, double y) {
  const auto limit = [](double v) {
    constexpr double far = 1 << 20;
    if (!(v > -far)) return std::isnan(v) ? far : -far;
    return v < far ? v : far;
  };
  return QPointF(limit(x), limit(y)) + QPointF(0.5, 0.5);
}
}  // namespace

void QtCanvas::moveTo(int x, int y) {
  position_ = QPoint(x, y);
  positionF_ = centreOf(position_);
}

void QtCanvas::moveToF(double x, double y) {
  positionF_ = saturated(x, y);
  position_ = positionF_.toPoint();
}

void QtCanvas::lineToF(double x, double y) {
  if (!pathsLines()) {
    const QPointF end = saturated(x, y) - QPointF(0.5, 0.5);
    lineTo(static_cast<int>(end.x()), static_cast<int>(end.y()));
    return;
  }
  const QPointF end = saturated(x, y);
  pathLine(positionF_, end);
  positionF_ = end;
  position_ = end.toPoint();
}

void QtCanvas::lineTo(int x, int y) {
  const QPoint end(x, y);
  if (pathsLines()) {
    pathLine(positionF_, centreOf(end));
    positionF_ = centreOf(end);
  } else {
    lineRuns(position_, end, clip_ ? clip_->intersected(deviceBounds_) : deviceBounds_, runs_);
    const QColor color = toQColor(pen_);
    for (const QRect& run : runs_) painter_.fillRect(run, color);
    positionF_ = centreOf(end);
  }
  position_ = end;
}

void QtCanvas::pathLine(QPointF from, QPointF to) {
  if (from == to) return;
  QLineF line(from, to);
  // The SVG output keeps no clip region, so lines are cut here; a cut line
  // starts a new piece of the same path.
  const QRectF box = QRectF(clip_ ? *clip_ : deviceBounds_);
  if (!clipSegment(line, box)) return;
  if (path_.isEmpty() || line.p1() != pathEnd_) path_.moveTo(line.p1());
  path_.lineTo(line.p2());
  pathEnd_ = line.p2();
}

void QtCanvas::flush() {
  if (path_.isEmpty()) return;
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setBrush(Qt::NoBrush);
  painter_.setPen(linePen());
  painter_.drawPath(path_);
  painter_.restore();
  path_ = QPainterPath();
}

void QtCanvas::ellipse(int left, int top, int right, int bottom) {
  flush();
  const int width = right - left;
  const int height = bottom - top;
  if (width <= 0 || height <= 0) return;
  if (form_ == Form::Vector) {
    const QRect box(left, top, width, height);
    if (clip_ && !clip_->intersects(box)) return;
    painter_.drawEllipse(QRectF(left + 0.5, top + 0.5, width - 1, height - 1));
    return;
  }
  if (!smooth()) {
    // The outline of a QRect covers its width + 1 columns, so this box ends on
    // the last pixel inside the exclusive (right, bottom) edge.
    painter_.drawEllipse(QRect(left, top, width - 1, height - 1));
    return;
  }
  // A larger picture or a finer device: a round dot at the device's resolution.
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setPen(QPen(toQColor(pen_), 1));
  painter_.drawEllipse(QRectF(left + 0.5, top + 0.5, width - 1, height - 1));
  painter_.restore();
}

void QtCanvas::frameRect(const Rect& rect, Color brush) {
  flush();
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
  flush();
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
  painter_.setPen(linePen());
}

Color QtCanvas::setTextColor(Color color) {
  const Color previous = textColor_;
  textColor_ = color;
  return previous;
}

void QtCanvas::setClipRect(const Rect* rect) {
  flush();
  if (rect == nullptr) {
    clip_.reset();
    painter_.setClipping(false);
    return;
  }
  clip_ = QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  // Lines are cut by the walk itself; the clip also holds the dots.
  if (form_ == Form::Pixels) painter_.setClipRect(*clip_);
}
