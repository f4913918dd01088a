#pragma once
// The exact curve of the density on the current scale, as the plotter
// holds it, and the shift that puts its largest log value at 50.
#include "display/axis_titles.h"
#include "display/plotter.h"

struct CurveState {
  Plotter plotter;
  double xMin = 0.0;
  double xMax = 1.0;
  double logOffset = 0.0;
  // Heights are T(f / f at the curve's peak) = -1/sqrt(...), whatever the
  // log or normal scale says: the peak is at -1, the axis has no zero.
  bool tScale = false;
};

VerticalScale verticalScale(const CurveState& curve, bool logScale);
// The height of a log density on the curve's scale.
double plottedHeight(const CurveState& curve, bool logScale, double logDensity);
// On the T scale: the height of t = -1/sqrt(f / exp(referenceLog)), a value
// of T relative to another reference (as a sampler keeps its lines). Lines
// in t stay lines: the change of reference only rescales them.
double plottedT(const CurveState& curve, double t, double referenceLog);
