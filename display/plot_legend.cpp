#include "display/plot_legend.h"

#include "display/plot_colors.h"
#include "display/plot_theme.h"

namespace {
using namespace PlotColor;
constexpr LegendSwatch line = LegendSwatch::Line;
constexpr LegendSwatch dot = LegendSwatch::Dot;

// Column by column: lines in the first, dots in the second, the proof and
// the split points (where log f inflects, for the mixture) in a third. With
// two beats per step the candidates by their fate take the second column,
// named as the status line counts them.
std::vector<LegendEntry> makeLegend(bool proofShown, bool twoBeats, bool splitsShown, PlotTheme theme,
                                    bool dartsShown) {
  const ThemeLook& look = themeLook(theme);
  const LegendSwatch squeezeLine = look.squeezeStyle == PenStyle::dashed ? LegendSwatch::DashedLine : line;
  std::vector<LegendEntry> entries = {
      {"curve", look.curve, line, look.curve},
      {"upper hull", look.upperHull, line, look.upperHull},
      {"squeeze", look.squeeze, squeezeLine, look.squeeze},
  };
  if (twoBeats) {
    entries.insert(entries.end(), {
                                      {"squeezed", squeezed, dot, points},
                                      {"evaluated", evaluated, LegendSwatch::Square, points},
                                      {"rejected", rejectedCandidate, LegendSwatch::Cross, rejectedCandidate},
                                      {"points", points, dot, points},
                                  });
    if (dartsShown) entries.push_back({"darts", look.darts, dot, look.darts});
  } else {
    if (dartsShown) entries.push_back({"darts", look.darts, dot, look.darts});
    entries.insert(entries.end(), {
                                      {"points", points, dot, points},
                                      {"candidate", candidate, dot, points},
                                  });
  }
  if (proofShown) entries.push_back({"proof", proof, line, proof});
  if (splitsShown) entries.push_back({"inflection", split, line, split});
  return entries;
}
}  // namespace

const std::vector<LegendEntry>& plotLegend(bool proofShown, bool twoBeats, bool splitsShown, PlotTheme theme,
                                           bool dartsShown) {
  // Every combination, built once: index bit 0 the proof, bit 1 the splits,
  // bit 2 the beats, bit 3 the theme, bit 4 the darts.
  static const auto all = [] {
    std::vector<std::vector<LegendEntry>> legends;
    for (int i = 0; i < 32; ++i) {
      legends.push_back(makeLegend((i & 1) != 0, (i & 4) != 0, (i & 2) != 0,
                                   (i & 8) != 0 ? PlotTheme::projector : PlotTheme::classic, (i & 16) != 0));
    }
    return legends;
  }();
  const int index = (proofShown ? 1 : 0) + (splitsShown ? 2 : 0) + (twoBeats ? 4 : 0) +
                    (theme == PlotTheme::projector ? 8 : 0) + (dartsShown ? 16 : 0);
  return all[index];
}

const std::vector<LegendEntry>& comparisonLegend(PlotTheme theme) {
  const auto make = [](PlotTheme t) {
    const ThemeLook& look = themeLook(t);
    return std::vector<LegendEntry>{
        {"curve", look.curve, line, look.curve},
        {"accepted", look.darts, dot, look.darts},
        {"rejected", rejected, dot, rejected},
    };
  };
  static const std::vector<LegendEntry> classic = make(PlotTheme::classic);
  static const std::vector<LegendEntry> projector = make(PlotTheme::projector);
  return theme == PlotTheme::projector ? projector : classic;
}
