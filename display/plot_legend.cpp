#include "display/plot_legend.h"

#include "display/plot_colors.h"

namespace {
using namespace PlotColor;
constexpr LegendSwatch line = LegendSwatch::Line;
constexpr LegendSwatch dot = LegendSwatch::Dot;

std::vector<LegendEntry> with(std::vector<LegendEntry> entries, bool proofShown, bool splitsShown) {
  if (proofShown) entries.push_back({"proof", proof, line, proof});
  if (splitsShown) entries.push_back({"inflection", split, line, split});
  return entries;
}
}  // namespace

const std::vector<LegendEntry>& plotLegend(bool proofShown, bool twoBeats, bool splitsShown) {
  // Column by column: lines in the first, dots in the second, the proof and
  // the split points (where log f inflects, for the mixture) in a third.
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
  // Every combination, built once: index bit 0 the proof, bit 1 the splits.
  static const std::vector<LegendEntry> plain[4] = {
      legend, with(legend, true, false), with(legend, false, true), with(legend, true, true)};
  static const std::vector<LegendEntry> stepped[4] = {
      beats, with(beats, true, false), with(beats, false, true), with(beats, true, true)};
  const int index = (proofShown ? 1 : 0) + (splitsShown ? 2 : 0);
  return twoBeats ? stepped[index] : plain[index];
}

const std::vector<LegendEntry>& comparisonLegend() {
  static const std::vector<LegendEntry> legend = {
      {"curve", curve, line, curve},
      {"accepted", darts, dot, darts},
      {"rejected", rejected, dot, rejected},
  };
  return legend;
}
