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

void throwPlainComparison(WindowModel& model) {
  const CurveState& curve = model.curve;
  const bool logScale = model.view.logScale;
  // The envelope: the curve's maximum over the plotted range, raised by 1%
  // for a peak between its grid points.
  const std::vector<double>& heights = curve.plotter.yValues;
  const double top = *std::max_element(heights.begin(), heights.end());
  const double logTop = (logScale ? top : std::log(top)) - curve.logOffset + std::log(1.01);
  const ARSDensity* density = model.sampler.density;
  const auto logDensity = [density](double x) { return density->logDensity(x); };
  const auto plotted = [&curve, logScale](double v) { return plottedHeight(curve, logScale, v); };
  throwPlainRejection(model.darts.plain, logDensity, curve.xMin, curve.xMax, logTop,
                      static_cast<std::size_t>(model.darts.count), model.rnd, plotted);
  model.darts.comparing = true;
}
