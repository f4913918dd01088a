#include "display/plot_legend.h"

#include "display/plot_colors.h"

const std::vector<LegendEntry>& plotLegend(bool proofShown, bool splitsShown) {
  using namespace PlotColor;
  // Column by column: lines in the first, dots in the second, the proof and
  // the split points (where log f inflects, for the mixture) in a third.
  static const std::vector<LegendEntry> legend = {
      {"curve", curve, false, curve},     {"upper hull", upperHull, false, upperHull},
      {"squeeze", squeeze, false, squeeze}, {"darts", darts, true, darts},
      {"points", points, true, points},   {"candidate", candidate, true, points},
  };
  const auto with = [](std::vector<LegendEntry> entries, bool proof, bool splits) {
    if (proof) entries.push_back({"proof", PlotColor::proof, false, PlotColor::proof});
    if (splits) entries.push_back({"inflection", split, false, split});
    return entries;
  };
  static const std::vector<LegendEntry> withProof = with(legend, true, false);
  static const std::vector<LegendEntry> withSplits = with(legend, false, true);
  static const std::vector<LegendEntry> withBoth = with(legend, true, true);
  if (splitsShown) return proofShown ? withBoth : withSplits;
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
