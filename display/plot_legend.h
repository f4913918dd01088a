#pragma once
// The picture's colours with their names, for the legend beside the status
// line, in columns of three.
#include <vector>

#include "model/view_options.h"
#include "platform/legend_entry.h"

// With the proof's colour while a proof of non-log-concavity is on screen,
// with the candidates' three fates in place of one candidate with two beats
// per step, and the split points' while a density has them; in the theme's colours.
// The darts are named only while they are on screen: the candidate's red disc
// is named "candidate", never "darts".
const std::vector<LegendEntry>& plotLegend(bool proofShown = false, bool twoBeats = false,
                                           bool splitsShown = false, PlotTheme theme = PlotTheme::classic,
                                           bool dartsShown = true);
// While plain rejection is compared: the curve and the two kinds of dots.
const std::vector<LegendEntry>& comparisonLegend(PlotTheme theme = PlotTheme::classic);
