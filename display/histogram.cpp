#include "display/histogram.h"

#include <cmath>

Histogram histogramOf(const std::vector<double>& xs, double xMin, double xMax, int bins) {
  Histogram h;
  h.xMin = xMin;
  h.xMax = xMax;
  h.counts.assign(bins > 0 ? bins : 1, 0);
  const double width = (xMax - xMin) / static_cast<double>(h.counts.size());
  for (double x : xs) {
    if (!(x >= xMin && x <= xMax) || !(width > 0)) {
      ++h.outside;
      continue;
    }
    std::size_t bin = static_cast<std::size_t>((x - xMin) / width);
    if (bin >= h.counts.size()) bin = h.counts.size() - 1;  // x == xMax
    ++h.counts[bin];
  }
  return h;
}

std::vector<double> barHeights(const Histogram& histogram, std::size_t darts,
                               const std::vector<double>& curveX, const std::vector<double>& curveY,
                               bool logScale) {
  // The area under the curve by the trapezoid rule; on the log scale the
  // values are near 50 at most, so their exponentials stay finite.
  double area = 0.0;
  for (std::size_t i = 0; i + 1 < curveX.size() && i + 1 < curveY.size(); ++i) {
    const double a = logScale ? std::exp(curveY[i]) : curveY[i];
    const double b = logScale ? std::exp(curveY[i + 1]) : curveY[i + 1];
    area += 0.5 * (a + b) * (curveX[i + 1] - curveX[i]);
  }
  const double width = (histogram.xMax - histogram.xMin) / static_cast<double>(histogram.counts.size());
  std::vector<double> heights;
  for (std::size_t count : histogram.counts) {
    const double height = darts > 0 && width > 0
                              ? static_cast<double>(count) / (static_cast<double>(darts) * width) * area
                              : 0.0;
    heights.push_back(logScale ? std::log(height) : height);
  }
  return heights;
}
