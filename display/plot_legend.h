#pragma once
// The picture's colours with their names, for the legend beside the status
// line, in columns of three.
#include <vector>

#include "platform/legend_entry.h"

// With the proof's colour while a proof of non-log-concavity is on screen,
// with the candidates' three fates in place of one candidate with two beats
// per step, and the split points' while a density has them.
const std::vector<LegendEntry>& plotLegend(bool proofShown = false, bool twoBeats = false,
                                           bool splitsShown = false);
// While plain rejection is compared: the curve and the two kinds of dots.
const std::vector<LegendEntry>& comparisonLegend();
