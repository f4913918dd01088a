#pragma once
// The histogram of the darts as bars behind the curve, on its vertical scale.
#include <vector>

#include "display/plot_mapping.h"
#include "platform/canvas.h"

class Plotter;

void drawHistogram(Canvas& canvas, const PlotMapping& mapping, const Plotter& curve,
                   const std::vector<double>& dartX, bool logScale);
