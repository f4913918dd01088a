#pragma once
// The darts' abscissae counted in equal bins over the plotted range, and
// the bars' heights on the curve's vertical scale.
#include <cstddef>
#include <vector>

struct Histogram {
  double xMin = 0.0;
  double xMax = 1.0;
  std::vector<std::size_t> counts;
  std::size_t outside = 0;  // darts beyond the plotted range
};

Histogram histogramOf(const std::vector<double>& xs, double xMin, double xMax, int bins);

// Bar heights comparable with a curve of plotted values (x, y): a bar's
// height is its share of the darts per unit of x times the area under the
// curve, so that bars and curve agree when the darts follow it. On the log
// scale both the curve's values and the heights are logarithms; an empty
// bar there is -infinity.
std::vector<double> barHeights(const Histogram& histogram, std::size_t darts,
                               const std::vector<double>& curveX, const std::vector<double>& curveY,
                               bool logScale);
