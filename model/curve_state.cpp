#include "model/curve_state.h"

#include "sampler/ars.h"

double plottedHeight(const CurveState& curve, bool logScale, double logDensity) {
  return logScale ? logDensity + curve.logOffset : shiftedExp(logDensity, curve.logOffset);
}
