#include "model/curve_state.h"

#include <cmath>

#include "sampler/ars.h"

namespace {
// The log value that the shift puts at 50: the curve's peak.
double peakLog(const CurveState& curve) { return 50 - curve.logOffset; }
}  // namespace

double plottedHeight(const CurveState& curve, bool logScale, double logDensity) {
  if (curve.tScale) return -std::exp(-(logDensity - peakLog(curve)) / 2);
  return logScale ? logDensity + curve.logOffset : shiftedExp(logDensity, curve.logOffset);
}

double plottedT(const CurveState& curve, double t, double referenceLog) {
  return t * std::exp((peakLog(curve) - referenceLog) / 2);
}
