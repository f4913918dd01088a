#pragma once
// The exact curve of the density on the current scale, as the plotter
// holds it, and the shift that puts its largest log value at 50.
#include "display/plotter.h"

struct CurveState {
  Plotter plotter;
  double xMin = 0.0;
  double xMax = 1.0;
  double logOffset = 0.0;
};

// The height of a log density on the curve's scale.
double plottedHeight(const CurveState& curve, bool logScale, double logDensity);
