#include "display/plot_legend.h"

#include "display/plot_colors.h"

namespace {
using namespace PlotColor;
constexpr LegendSwatch line = LegendSwatch::Line;
constexpr LegendSwatch dot = LegendSwatch::Dot;

std::vector<LegendEntry> withProof(std::vector<LegendEntry> entries) {
  entries.push_back({"proof", proof, line, proof});
  return entries;
}
}  // namespace

const std::vector<LegendEntry>& plotLegend(bool proofShown, bool twoBeats) {
  // Column by column: lines in the first, dots in the second, the proof in a third.
  static const std::vector<LegendEntry> legend = {
      {"curve", curve, line, curve},       {"upper hull", upperHull, line, upperHull},
      {"squeeze", squeeze, line, squeeze}, {"darts", darts, dot, darts},
      {"points", points, dot, points},     {"candidate", candidate, dot, points},
  };
  // With two beats per step the candidates by their fate take the second
  // column, named as the status line counts them.
  static const std::vector<LegendEntry> beats = {
      {"curve", curve, line, curve},
      {"upper hull", upperHull, line, upperHull},
      {"squeeze", squeeze, line, squeeze},
      {"squeezed", squeezed, dot, points},
      {"evaluated", evaluated, LegendSwatch::Square, points},
      {"rejected", rejectedCandidate, LegendSwatch::Cross, rejectedCandidate},
      {"points", points, dot, points},
      {"darts", darts, dot, darts},
  };
  static const std::vector<LegendEntry> legendWithProof = withProof(legend);
  static const std::vector<LegendEntry> beatsWithProof = withProof(beats);
  if (twoBeats) return proofShown ? beatsWithProof : beats;
  return proofShown ? legendWithProof : legend;
}

const std::vector<LegendEntry>& comparisonLegend() {
  static const std::vector<LegendEntry> legend = {
      {"curve", curve, line, curve},
      {"accepted", darts, dot, darts},
      {"rejected", rejected, dot, rejected},
  };
  return legend;
}
