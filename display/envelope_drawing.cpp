// The sampler's envelope as the stepping display shows it: points, last
// candidate, upper hull and squeeze, on the curve's vertical scale.
#include "display/envelope_drawing.h"

#include <cstddef>

#include "display/pixel.h"
#include "display/plot_mapping.h"
#include "platform/canvas.h"
#include "platform/selection.h"
#include "sampler/ars.h"

namespace {

constexpr Color red = 0x000000FF;

struct Point {
  int x;
  int y;
};

// Unrounded pixel coordinates, for a vector picture.
struct PointF {
  double x;
  double y;
};

class Scale {
 public:
  Scale(const PlotMapping& m, bool logScale, double logOffset)
      : m_(m), logScale_(logScale), logOffset_(logOffset) {}

  double height(double logValue) const {
    return logScale_ ? logValue + logOffset_ : shiftedExp(logValue, logOffset_);
  }
  // trunc(origin + offset): darts, points and the upper hull.
  Point whole(double x, double logValue) const { return {wholePixelX(m_, x), wholeY(logValue)}; }
  int wholeY(double logValue) const { return wholePixelY(m_, height(logValue)); }
  // origin + trunc(offset): the squeeze.
  Point offset(double x, double logValue) const {
    return {offsetX(x), m_.originY - toPixel((height(logValue) - m_.yMin) * m_.scaleY)};
  }
  int offsetX(double x) const { return m_.originX + toPixel((x - m_.xMin) * m_.scaleX); }
  PointF exact(double x, double logValue) const {
    return {m_.originX + (x - m_.xMin) * m_.scaleX, m_.originY - (height(logValue) - m_.yMin) * m_.scaleY};
  }
  int originY() const { return m_.originY; }
  bool logScale() const { return logScale_; }

 private:
  const PlotMapping& m_;
  bool logScale_;
  double logOffset_;
};

void moveTo(Canvas& canvas, Point p) { canvas.moveTo(p.x, p.y); }
void lineTo(Canvas& canvas, Point p) { canvas.lineTo(p.x, p.y); }
void moveTo(Canvas& canvas, PointF p) { canvas.moveToF(p.x, p.y); }
void lineTo(Canvas& canvas, PointF p) { canvas.lineToF(p.x, p.y); }

// A straight piece in log space: straight on the log scale, an exponential
// drawn in the trace's steps on the normal scale, ending exactly at its
// right end. Only its part within the trace's range is drawn.
template <typename ToPixel>
void drawPiece(Canvas& canvas, const Scale& scale, ToPixel toPixelOf, const EnvelopeTrace& trace,
               double leftX, double leftY, double rightX, double rightY, double slope) {
  if (rightX < trace.from || leftX > trace.to) return;
  if (leftX < trace.from) {
    leftY += (trace.from - leftX) * slope;
    leftX = trace.from;
  }
  if (rightX > trace.to) {
    rightY = leftY + (trace.to - leftX) * slope;
    rightX = trace.to;
  }
  moveTo(canvas, toPixelOf(leftX, leftY));
  if (scale.logScale()) {
    lineTo(canvas, toPixelOf(rightX, rightY));
    return;
  }
  const double step = trace.step;
  double x = leftX + step;
  for (; x <= rightX; x += step) lineTo(canvas, toPixelOf(x, leftY + (x - leftX) * slope));
  if (x - step < rightX) lineTo(canvas, toPixelOf(rightX, rightY));
}

}  // namespace

EnvelopeTrace traceInView(const PlotMapping& mapping, const Rect& frame) {
  const int width = frame.right - frame.left;
  if (!(mapping.scaleX > 0) || width <= 0) return EnvelopeTrace{};
  // A margin of an eighth of the frame on each side: the lines run on under the clip.
  const double margin = width / 8.0;
  return EnvelopeTrace{1 / mapping.scaleX, mapping.xMin - margin / mapping.scaleX,
                       mapping.xMin + (width + margin) / mapping.scaleX};
}

void drawAbscissae(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                   Color color, bool logScale, double logOffset) {
  const Scale scale(mapping, logScale, logOffset);
  PenSelection pen(canvas, color);
  BrushSelection brush(canvas, color);
  for (const HullPoint& point : shape.points) {
    const Point p = scale.whole(point.x, point.h);
    canvas.ellipse(p.x - 2, p.y - 2, p.x + 2, p.y + 2);
  }
}

void drawLastDraw(Canvas& canvas, const ARSSampler& sampler, const PlotMapping& mapping,
                  Color color, bool logScale, double logOffset) {
  const Scale scale(mapping, logScale, logOffset);
  PenSelection pen(canvas, color);
  if (sampler.hasLastDraw) {
    BrushSelection brush(canvas, red);
    const Point p = scale.whole(sampler.lastX, sampler.lastLogY);
    canvas.ellipse(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
  }
}

void drawUpperHull(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                   Color color, bool logScale, double logOffset, const EnvelopeTrace& trace) {
  const Scale scale(mapping, logScale, logOffset);
  PenSelection pen(canvas, color);
  const std::size_t n = shape.segments.size();
  const auto whole = [&scale](double x, double v) { return scale.whole(x, v); };
  const auto exact = [&scale](double x, double v) { return scale.exact(x, v); };
  for (std::size_t i = 0; i < n; ++i) {
    const EnvelopeSegment& s = shape.segments[i];
    // The hull jumps at the outermost points: join it down to the density there.
    if (i == 1) {
      const Point top = scale.whole(s.upperLeftX, s.upperLeftY);
      moveTo(canvas, top);
      canvas.lineTo(top.x, scale.wholeY(s.squeezeLeftY));
    }
    if (i + 2 == n) {
      const Point top = scale.whole(s.upperRightX, s.upperRightY);
      moveTo(canvas, top);
      canvas.lineTo(top.x, scale.wholeY(s.squeezeRightY));
    }
    if (canvas.keepsFractions()) {
      drawPiece(canvas, scale, exact, trace, s.upperLeftX, s.upperLeftY, s.upperRightX, s.upperRightY,
                s.upperSlope);
    } else {
      drawPiece(canvas, scale, whole, trace, s.upperLeftX, s.upperLeftY, s.upperRightX, s.upperRightY,
                s.upperSlope);
    }
  }
}

void drawSqueeze(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                 Color color, bool logScale, double logOffset, const EnvelopeTrace& trace) {
  // Without an envelope (a repaint behind a message box) there is nothing to outline.
  const std::size_t n = shape.segments.size();
  if (n < 3) return;
  const Scale scale(mapping, logScale, logOffset);
  PenSelection pen(canvas, color);
  const auto offset = [&scale](double x, double v) { return scale.offset(x, v); };
  const auto exact = [&scale](double x, double v) { return scale.exact(x, v); };

  const EnvelopeSegment& first = shape.segments[1];
  canvas.moveTo(scale.offsetX(first.squeezeLeftX), scale.originY());
  lineTo(canvas, scale.offset(first.squeezeLeftX, first.squeezeLeftY));

  for (std::size_t k = 1; k + 1 < n; ++k) {
    const EnvelopeSegment& s = shape.segments[k];
    if (canvas.keepsFractions()) {
      drawPiece(canvas, scale, exact, trace, s.squeezeLeftX, s.squeezeLeftY, s.squeezeRightX,
                s.squeezeRightY, s.squeezeSlope);
    } else {
      drawPiece(canvas, scale, offset, trace, s.squeezeLeftX, s.squeezeLeftY, s.squeezeRightX,
                s.squeezeRightY, s.squeezeSlope);
    }
  }

  const EnvelopeSegment& last = shape.segments[n - 2];
  const Point end = scale.offset(last.squeezeRightX, last.squeezeRightY);
  moveTo(canvas, end);
  canvas.lineTo(end.x, scale.originY());
}
