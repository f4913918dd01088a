#include "display/plot_legend.h"

#include "display/plot_colors.h"

const std::vector<LegendEntry>& plotLegend(bool proofShown) {
  using namespace PlotColor;
  // Column by column: lines in the first, dots in the second, the proof in a third.
  static const std::vector<LegendEntry> legend = {
      {"curve", curve, false, curve},     {"upper hull", upperHull, false, upperHull},
      {"squeeze", squeeze, false, squeeze}, {"darts", darts, true, darts},
      {"points", points, true, points},   {"candidate", candidate, true, points},
  };
  static const std::vector<LegendEntry> withProof = [] {
    std::vector<LegendEntry> entries = legend;
    entries.push_back({"proof", proof, false, proof});
    return entries;
  }();
  return proofShown ? withProof : legend;
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
