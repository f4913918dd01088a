#include "model/plain_comparison.h"

#include <algorithm>
#include <cmath>

#include "density/density_kinds.h"
#include "model/window_model.h"

bool supportIsBounded(const WindowModel& model) {
  const DensityState& d = model.density;
  return d.isOther() ? std::isfinite(d.otherChoice.lower) && std::isfinite(d.otherChoice.upper)
                     : densityKindRow(d.kind).upperBounded;
}

bool comparisonShown(const WindowModel& model) {
  return model.darts.comparing && !model.stepping.active && !model.stepping.proof.has_value();
}

double plainLogTop(const WindowModel& model) {
  const CurveState& curve = model.curve;
  // The envelope: the curve's maximum over the plotted range, raised by 1%
  // for a peak between its grid points.
  const std::vector<double>& heights = curve.yValues;
  const double top = *std::max_element(heights.begin(), heights.end());
  // The T scale's heights are no log values: its peak is where the shift put 50.
  return (curve.tScale ? 50 : model.view.logScale ? top : std::log(top)) - curve.logOffset + std::log(1.01);
}

std::function<double(double)> plainLogDensity(const WindowModel& model) {
  // A density sampled under a transformation never reaches the window's ARSSampler.
  const ARSDensity* density = model.density.isOther() ? model.density.otherDensity.get() : model.sampler.density;
  return [density](double x) { return density->logDensity(x); };
}

std::function<double(double)> plainPlotted(const WindowModel& model) {
  const CurveState& curve = model.curve;
  const bool logScale = model.view.logScale;
  return [&curve, logScale](double v) { return plottedHeight(curve, logScale, v); };
}

void throwPlainComparison(WindowModel& model) {
  const CurveState& curve = model.curve;
  // As many darts as the adaptive throw; a box the density barely fills
  // stops at a bound rather than running on.
  const std::size_t darts = model.darts.x.size();
  PlainRejection& plain = model.darts.plain;
  throwPlainRejection(plain, plainLogDensity(model), curve.xMin, curve.xMax, plainLogTop(model), darts,
                      darts * maxCandidatesPerDart, model.rnd, plainPlotted(model));
  // An unbounded support is sampled over the plotted range only; the
  // adaptive darts beyond it estimate the mass left out.
  plain.rangeCutsSupport = !supportIsBounded(model);
  std::size_t outside = 0;
  for (const double x : model.darts.x) {
    if (x < curve.xMin || x > curve.xMax) ++outside;
  }
  plain.massLeftOut = darts != 0 ? static_cast<double>(outside) / static_cast<double>(darts) : 0.0;
  model.darts.comparing = true;
}
