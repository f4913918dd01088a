#include "display/accepted_values_drawing.h"

#include <algorithm>
#include <cmath>

#include "display/histogram.h"
#include "display/histogram_drawing.h"
#include "display/plot_colors.h"
#include "display/plotter.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

namespace {
// Tints of the darts' red: the bars stay behind the envelope and the curve.
constexpr Color barFill = rgb(252, 222, 222);
constexpr Color barEdge = rgb(232, 170, 170);
}  // namespace

void drawAcceptedRug(Canvas& canvas, const PlotMapping& mapping, const Rect& frame, const std::vector<double>& xs,
                     double scale) {
  // Inside the frame, rising from its bottom edge.
  const int bottom = frame.bottom - 2;
  const int top = bottom - scaledPixels(9, scale);
  PenSelection pen(canvas, PlotColor::darts);
  for (const double x : xs) {
    const int px = wholePixelX(mapping, x);
    if (px < frame.left || px >= frame.right) continue;
    canvas.moveTo(px, bottom);
    canvas.lineTo(px, top);
  }
}

void drawAcceptedHistogram(Canvas& canvas, const PlotMapping& mapping, const Plotter& curve,
                           const std::vector<double>& xs, bool logScale) {
  if (xs.size() < acceptedHistogramMinimum) return;
  // Few values, few bins: about the square root of their number.
  const int bins = std::clamp(static_cast<int>(std::lround(std::sqrt(static_cast<double>(xs.size())))), 5, 40);
  const Histogram histogram = histogramOf(xs, curve.xMin, curve.xMax, bins);
  const std::vector<double> heights = barHeights(histogram, xs.size(), curve.xValues, curve.yValues, logScale);
  const double width = (histogram.xMax - histogram.xMin) / bins;
  const int bottom = wholePixelY(mapping, curve.yMin);
  for (int b = 0; b < bins; ++b) {
    if (!(heights[b] > curve.yMin)) continue;
    const int left = wholePixelX(mapping, histogram.xMin + b * width);
    const int right = wholePixelX(mapping, histogram.xMin + (b + 1) * width);
    const int top = wholePixelY(mapping, std::min(heights[b], curve.yMax));
    drawBar(canvas, left, right, top, bottom, barFill, barEdge);
  }
}
