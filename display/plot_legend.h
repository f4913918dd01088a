#pragma once
// The picture's colours with their names, for the legend beside the status line.
#include <vector>

#include "platform/legend_entry.h"

const std::vector<LegendEntry>& plotLegend();
// While plain rejection is compared: the curve and the two kinds of dots.
const std::vector<LegendEntry>& comparisonLegend();
