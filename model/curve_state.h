#pragma once
// The exact curve of the density on the current scale: its points, the range
// it is plotted over and the shift that puts its largest log value at 50.
// Data only: the plot's layout (display/plot_layout.h) is computed from it.
#include <vector>

struct CurveState {
  // The curve's points, heights on its scale.
  std::vector<double> xValues;
  std::vector<double> yValues;
  double xMin = 0.0;
  double xMax = 1.0;
  double logOffset = 0.0;
  // Heights are T(f / f at the curve's peak) = -1/sqrt(...), whatever the
  // log or normal scale says: the peak is at -1, the axis has no zero.
  bool tScale = false;
  // A typed density may lie anywhere at any scale: its ticks go at round
  // values, and on the normal scale its heights rise from 0, so that its
  // darts fill the area down to it.
  bool roundTicks = false;
  bool fromZero = false;
};

// The height of a log density on the curve's scale.
double plottedHeight(const CurveState& curve, bool logScale, double logDensity);
// On the T scale: the height of t = -1/sqrt(f / exp(referenceLog)), a value
// of T relative to another reference (as a sampler keeps its lines). Lines
// in t stay lines: the change of reference only rescales them.
double plottedT(const CurveState& curve, double t, double referenceLog);
