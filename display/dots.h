#pragma once
// Points of the picture as small filled circles of one colour: darts and
// plain rejection's candidates.
#include <vector>

#include "display/plot_mapping.h"
#include "platform/canvas.h"

void drawDots(Canvas& canvas, const PlotMapping& mapping, const std::vector<double>& xs,
              const std::vector<double>& ys, Color color);
