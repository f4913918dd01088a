#include "display/histogram_drawing.h"

#include "display/histogram.h"
#include "display/plotter.h"
#include "platform/selection.h"

namespace {
constexpr Color barFill = 0x00F0DCC8;  // a light tint of the curve's blue
constexpr Color barEdge = 0x00D2AA82;
constexpr int histogramBins = 40;
}  // namespace

void drawHistogram(Canvas& canvas, const PlotMapping& mapping, const Plotter& curve,
                   const std::vector<double>& dartX, bool logScale) {
  const Histogram histogram = histogramOf(dartX, curve.xMin, curve.xMax, histogramBins);
  const std::vector<double> heights = barHeights(histogram, dartX.size(), curve.xValues, curve.yValues, logScale);
  const double width = (histogram.xMax - histogram.xMin) / histogramBins;
  const int bottom = wholePixelY(mapping, curve.yMin);
  for (int b = 0; b < histogramBins; ++b) {
    if (!(heights[b] > curve.yMin)) continue;
    const int left = wholePixelX(mapping, histogram.xMin + b * width);
    const int right = wholePixelX(mapping, histogram.xMin + (b + 1) * width);
    const int top = wholePixelY(mapping, heights[b]);
    drawBar(canvas, left, right, top, bottom, barFill, barEdge);
  }
}

void drawBar(Canvas& canvas, int left, int right, int top, int bottom, Color fill, Color edge) {
  {
    PenSelection pen(canvas, fill);
    for (int x = left; x < right; ++x) {
      canvas.moveTo(x, bottom);
      canvas.lineTo(x, top);
    }
  }
  PenSelection outline(canvas, edge);
  canvas.moveTo(left, bottom);
  canvas.lineTo(left, top);
  canvas.lineTo(right, top);
  canvas.lineTo(right, bottom);
}
