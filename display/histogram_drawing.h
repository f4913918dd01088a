#pragma once
// The histogram of the darts as bars behind the curve, on its vertical scale.
#include <vector>

#include "display/plot_mapping.h"
#include "platform/canvas.h"

class Plotter;

void drawHistogram(Canvas& canvas, const PlotMapping& mapping, const Plotter& curve,
                   const std::vector<double>& dartX, bool logScale);

// One bar from `bottom` up to `top` over [left, right): filled a pixel column
// at a time, then outlined on three sides.
void drawBar(Canvas& canvas, int left, int right, int top, int bottom, Color fill, Color edge);
