// The histogram behind the curve and plain rejection's candidates: what
// the paint shows instead of the darts when asked for.
#include <algorithm>

#include "app/main_window.h"
#include "display/histogram.h"
#include "display/plot_mapping.h"
#include "platform/selection.h"

namespace {
constexpr Color barFill = 0x00F0DCC8;     // a light tint of the curve's blue
constexpr Color barEdge = 0x00D2AA82;
constexpr Color rejectedGrey = 0x00A0A0A0;
constexpr Color acceptedRed = 0x000000FF;
constexpr int histogramBins = 40;

void drawDots(Canvas& canvas, const PlotMapping& mapping, const std::vector<double>& xs,
              const std::vector<double>& ys, Color color) {
  PenSelection pen(canvas, color);
  BrushSelection brush(canvas, color);
  const std::size_t count = std::min(xs.size(), ys.size());
  for (std::size_t i = 0; i < count; ++i) {
    const int px = wholePixelX(mapping, xs[i]);
    const int py = wholePixelY(mapping, ys[i]);
    canvas.ellipse(px - 1, py - 1, px + 1, py + 1);
  }
}
}  // namespace

void MainWindow::drawHistogram(Canvas& canvas, const PlotMapping& mapping) {
  const Histogram histogram = histogramOf(dartX, plotter.xMin, plotter.xMax, histogramBins);
  const std::vector<double> heights =
      barHeights(histogram, dartX.size(), plotter.xValues, plotter.yValues, logScale);
  const double width = (histogram.xMax - histogram.xMin) / histogramBins;
  const int bottom = wholePixelY(mapping, plotter.yMin);
  for (int b = 0; b < histogramBins; ++b) {
    if (!(heights[b] > plotter.yMin)) continue;
    const int left = wholePixelX(mapping, histogram.xMin + b * width);
    const int right = wholePixelX(mapping, histogram.xMin + (b + 1) * width);
    const int top = wholePixelY(mapping, heights[b]);
    {
      PenSelection pen(canvas, barFill);
      for (int x = left; x < right; ++x) {
        canvas.moveTo(x, bottom);
        canvas.lineTo(x, top);
      }
    }
    PenSelection edge(canvas, barEdge);
    canvas.moveTo(left, bottom);
    canvas.lineTo(left, top);
    canvas.lineTo(right, top);
    canvas.lineTo(right, bottom);
  }
}

void MainWindow::drawPlainRejection(Canvas& canvas, const PlotMapping& mapping) {
  drawDots(canvas, mapping, plain.rejectedX, plain.rejectedY, rejectedGrey);
  drawDots(canvas, mapping, plain.acceptedX, plain.acceptedY, acceptedRed);
}
