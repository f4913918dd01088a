#pragma once
// The split points of a density (the inflection points of a mixture, where
// its log turns from concave to convex) as dashed vertical lines across the
// plot frame, so that the envelope's change of kind at them is seen.
#include <vector>

#include "display/plot_mapping.h"
#include "platform/canvas.h"

// Lines outside the frame are left out; `scale` sets the dashes' length.
void drawSplitLines(Canvas& canvas, const PlotMapping& mapping, const Rect& frame, const std::vector<double>& splits,
                    double scale);
