#include "display/plot_legend.h"

#include "display/plot_colors.h"

const std::vector<LegendEntry>& plotLegend() {
  using namespace PlotColor;
  // Lines in the first column, dots in the second.
  static const std::vector<LegendEntry> legend = {
      {"curve", curve, false, curve},         {"darts", darts, true, darts},
      {"upper hull", upperHull, false, upperHull}, {"points", points, true, points},
      {"squeeze", squeeze, false, squeeze},   {"candidate", candidate, true, points},
  };
  return legend;
}

const std::vector<LegendEntry>& comparisonLegend() {
  using namespace PlotColor;
  static const std::vector<LegendEntry> legend = {
      {"curve", curve, false, curve},
      {"accepted", darts, true, darts},
      {"rejected", rejected, true, rejected},
  };
  return legend;
}
