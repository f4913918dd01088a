#pragma once
// The candidates accepted so far while stepping: a rug of short ticks on the
// frame's bottom, and once there are enough of them a light histogram
// behind the curve, on its vertical scale.
#include <cstddef>
#include <vector>

#include "display/plot_mapping.h"
#include "platform/canvas.h"

class Plotter;

// Below this many the bars would say more about chance than about the density.
constexpr std::size_t acceptedHistogramMinimum = 50;

void drawAcceptedRug(Canvas& canvas, const PlotMapping& mapping, const Rect& frame, const std::vector<double>& xs,
                     double scale);
// Bars for the values on the plotter's range, about sqrt(n) of them; none on a scale without heights.
void drawAcceptedHistogram(Canvas& canvas, const PlotMapping& mapping, const Plotter& curve,
                           const std::vector<double>& xs, bool logScale);
