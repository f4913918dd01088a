#pragma once
// Where the picture cuts the upper hull at the top of its range: a zigzag in
// the hull's colour along the frame's top edge, over the stretches cut.
#include <vector>

#include "display/hull_range.h"
#include "display/plot_mapping.h"
#include "platform/canvas.h"

void drawHullCuts(Canvas& canvas, const PlotMapping& mapping, const Rect& frame, const std::vector<HullCut>& cuts,
                  double scale);
