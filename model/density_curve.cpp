#include "model/density_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "density/beta_density.h"
#include "density/density_kinds.h"
#include "density/gamma_density.h"
#include "model/window_model.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// The plotted range and the curve's grid of each built-in kind, on the
// normal and the log scale. Every plot starts at 0 and every grid at 0.01.
struct CurveGrid {
  double plotXMax;
  double plotXMaxLog;
  double gridEnd;
  double gridEndLog;
  double gridStep;
};

constexpr CurveGrid curveGrids[] = {
    {1.0, 1.0, 1.0, 1.0, 0.01},   {1.0, 1.0, 1.0, 1.0, 0.01},     {3.0, 3.0, 3.0, 3.0, 0.01},
    {3.0, 10.0, 3.0, 10.0, 0.01}, {3.0, 3.0, 3.0, 3.0, 0.005},    {1.0, 1.0, 0.99, 0.99, 0.005},
};
constexpr double gridStart = 0.01;
// A typed density's curve: its ends and the midpoints of equal intervals.
constexpr int curveIntervals = 400;

// A new curve over its plotted range: no points yet, the scale's facts set.
void startCurve(CurveState& curve, double xMin, double xMax, bool tScale, bool typed, bool logScale) {
  curve.xValues.clear();
  curve.yValues.clear();
  curve.xMin = xMin;
  curve.xMax = xMax;
  curve.tScale = tScale;
  curve.roundTicks = typed;
  curve.fromZero = typed && !logScale;
}

// The heights of the log densities on the curve's scale, once its shift is known.
void addPoints(CurveState& curve, bool logScale, std::vector<double> xs, const std::vector<double>& values) {
  curve.xValues = std::move(xs);
  curve.yValues.reserve(values.size());
  for (const double v : values) curve.yValues.push_back(plottedHeight(curve, logScale, v));
}

void rebuildBuiltInCurve(WindowModel& model) {
  const bool logScale = model.view.logScale;
  const DensityKind& row = densityKindRow(model.density.kind);
  const CurveGrid& grid = curveGrids[row.kind - firstDensityKind];
  CurveState& curve = model.curve;
  startCurve(curve, 0.0, logScale ? grid.plotXMaxLog : grid.plotXMax, false, false, logScale);
  const double gridEnd = logScale ? grid.gridEndLog : grid.gridEnd;

  // The sampler's own densities, with the kind's parameters: the curve is
  // the law the darts are drawn from, to the last bit.
  ARSBetaDensity beta;
  ARSGammaDensity gamma;
  const ARSDensity* density = &model.density.testDensity;
  if (row.instance == DensityInstance::Beta) {
    beta.alpha = row.alpha;
    beta.beta = row.beta;
    density = &beta;
  } else if (row.instance == DensityInstance::Gamma) {
    gamma.alpha = row.alpha;
    gamma.beta = row.beta;
    density = &gamma;
  }

  // Both passes walk the same grid by repeated addition; the values are kept
  // from the first pass instead of being evaluated twice.
  std::vector<double> xs;
  std::vector<double> values;
  double largest = -infinity;
  for (double x = gridStart; x < gridEnd; x += grid.gridStep) {
    const double v = density->logDensity(x);
    if (v > largest) largest = v;
    xs.push_back(x);
    values.push_back(v);
  }
  curve.logOffset = 50 - largest;
  addPoints(curve, logScale, std::move(xs), values);
}

void rebuildOtherCurve(WindowModel& model) {
  CurveState& curve = model.curve;
  const bool tScale = tScaleShown(model);
  // A zero of the density has no height on the T scale, as on the log scale.
  const bool logScale = model.view.logScale || tScale;
  startCurve(curve, model.density.otherXMin, model.density.otherXMax, tScale, true, logScale);
  const FormulaDensity* density = model.density.otherDensity.get();
  if (!density) return;

  // From end to end of the plotted range: the ends where the density has a
  // value there (a zero too, on the axis of the normal scale), midpoints of
  // equal intervals between them.
  const double step = (curve.xMax - curve.xMin) / curveIntervals;
  std::vector<double> xs;
  std::vector<double> values;
  double largest = -infinity;
  const auto add = [&](double x, bool end) {
    const double v = density->logDensity(x);
    const bool onAxis = end && v == -infinity && !logScale;
    if (!(v > -infinity && v < infinity) && !onAxis) return;  // no value to plot
    if (!onAxis) largest = std::max(largest, v);
    xs.push_back(x);
    values.push_back(v);
  };
  add(curve.xMin, true);
  for (int i = 0; i < curveIntervals; ++i) add(curve.xMin + (i + 0.5) * step, false);
  add(curve.xMax, true);
  curve.logOffset = std::isfinite(largest) ? 50 - largest : 0.0;
  addPoints(curve, logScale, std::move(xs), values);
}

}  // namespace

bool tScaleAvailable(const WindowModel& model) {
  return model.density.isOther() && model.density.otherChoice.transform == ars::Transform::InverseSqrt;
}

bool tScaleShown(const WindowModel& model) { return model.view.tScale && tScaleAvailable(model); }

void rebuildDensityCurve(WindowModel& model) {
  if (model.density.isOther()) {
    rebuildOtherCurve(model);
  } else {
    rebuildBuiltInCurve(model);
  }
}
