#pragma once
// The picture's colours with their names, for the legend beside the status line.
#include <vector>

#include "platform/legend_entry.h"

const std::vector<LegendEntry>& plotLegend();
