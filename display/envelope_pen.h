#pragma once
// What both envelopes' drawings share: the curve's vertical scale (log, or
// the shifted exponential by logOffset) in the pixel roundings the classic
// picture uses, and a piece straight in log space traced in the trace's steps.
#include <cmath>
#include <limits>

#include "display/pixel.h"
#include "display/plot_mapping.h"
#include "platform/canvas.h"
#include "sampler/hull_geometry.h"

// How the pieces are traced: by default the classic way, each whole piece
// in steps of 0.01 data units on the normal scale. A density of any location
// and scale needs the part of each piece in view, one step per pixel: its
// pieces may be a billion units wide or a millionth.
struct EnvelopeTrace {
  double step = 0.01;
  double from = -std::numeric_limits<double>::infinity();
  double to = std::numeric_limits<double>::infinity();
};

namespace envelope_pen {

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
  // tScale: heights in -1/sqrt(f / peak), the peak (where the shift puts
  // the log value 50) at -1, as the curve is plotted on the T scale.
  Scale(const PlotMapping& m, bool logScale, double logOffset, bool tScale = false)
      : m_(m), logScale_(logScale && !tScale), tScale_(tScale), logOffset_(logOffset) {}

  double height(double logValue) const {
    if (tScale_) return -std::exp(-(logValue - (50 - logOffset_)) / 2);
    return logScale_ ? logValue + logOffset_ : ars::detail::shiftedExp(logValue, logOffset_);
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
  bool tScale_;
  double logOffset_;
};

inline void moveTo(Canvas& canvas, Point p) { canvas.moveTo(p.x, p.y); }
inline void lineTo(Canvas& canvas, Point p) { canvas.lineTo(p.x, p.y); }
inline void moveTo(Canvas& canvas, PointF p) { canvas.moveToF(p.x, p.y); }
inline void lineTo(Canvas& canvas, PointF p) { canvas.lineToF(p.x, p.y); }

// A straight piece in log space: straight on the log scale, an exponential
// drawn in the trace's steps on the normal scale, ending exactly at its
// right end. Only its part within the trace's range is drawn.
template <typename ToPixel>
inline void drawPiece(Canvas& canvas, const Scale& scale, ToPixel toPixelOf, const EnvelopeTrace& trace,
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


}  // namespace envelope_pen
