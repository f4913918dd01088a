#include "model/density_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "density/density_kinds.h"
#include "density/gamln.h"
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

// An empty plotter over the curve's range, its ticks spread evenly; a
// typed density's at round values, as it may lie anywhere at any scale, and
// on the normal scale from 0, so that its darts fill the area down to it.
void clearPlotterForCurve(CurveState& curve, bool typed, bool logScale) {
  Plotter& plotter = curve.plotter;
  plotter.clear();
  plotter.histogramMode = false;
  plotter.xMin = curve.xMin;
  plotter.xMax = curve.xMax;
  plotter.autoScaleX = false;
  plotter.ticksAtRoundValues = typed;
  plotter.yFromZero = typed && !logScale;
  plotter.xTickStep = (plotter.xMax - plotter.xMin) / plotter.numXTicks;
  plotter.yTickStep = (plotter.yMax - plotter.yMin) / plotter.numYTicks;
}

void rebuildBuiltInCurve(WindowModel& model) {
  const bool logScale = model.view.logScale;
  model.curve.tScale = false;
  const DensityKind& row = densityKindRow(model.density.kind);
  const CurveGrid& grid = curveGrids[row.kind - firstDensityKind];
  CurveState& curve = model.curve;
  curve.xMin = 0.0;
  curve.xMax = logScale ? grid.plotXMaxLog : grid.plotXMax;
  const double gridEnd = logScale ? grid.gridEndLog : grid.gridEnd;

  clearPlotterForCurve(curve, false, logScale);

  // Constant terms are computed once; each value still sums in the same order.
  const double alpha = row.alpha;
  const double beta = row.beta;
  const double logBeta = alpha * std::log(beta);
  const double logGammaAlpha = row.instance == DensityInstance::Gamma ? gamln(alpha) : 0.0;
  const ARSTestDensity& test = model.density.testDensity;
  const auto logDensity = [&](double x) {
    switch (row.instance) {
      case DensityInstance::Beta:
        return (alpha - 1) * std::log(x) + (beta - 1) * std::log(1 - x);
      case DensityInstance::Gamma:
        return (alpha - 1) * std::log(x) - x / beta - logBeta - logGammaAlpha;
      case DensityInstance::Test:
        break;
    }
    return test.logDensity(x);
  };

  // Both passes walk the same grid by repeated addition; the values are kept
  // from the first pass instead of being evaluated twice.
  std::vector<double> xs;
  std::vector<double> values;
  double largest = -infinity;
  for (double x = gridStart; x < gridEnd; x += grid.gridStep) {
    const double v = logDensity(x);
    if (v > largest) largest = v;
    xs.push_back(x);
    values.push_back(v);
  }
  curve.logOffset = 50 - largest;

  curve.plotter.xValues.reserve(xs.size());
  curve.plotter.yValues.reserve(xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    curve.plotter.addPoint(xs[i], plottedHeight(curve, logScale, values[i]));
  }
}

void rebuildOtherCurve(WindowModel& model) {
  CurveState& curve = model.curve;
  curve.xMin = model.density.otherXMin;
  curve.xMax = model.density.otherXMax;
  curve.tScale = tScaleShown(model);
  // A zero of the density has no height on the T scale, as on the log scale.
  const bool logScale = model.view.logScale || curve.tScale;
  clearPlotterForCurve(curve, true, logScale);
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
  for (std::size_t i = 0; i < xs.size(); ++i) {
    curve.plotter.addPoint(xs[i], plottedHeight(curve, logScale, values[i]));
  }
}

}  // namespace

bool tScaleShown(const WindowModel& model) {
  return model.view.tScale && model.density.isOther() &&
         model.density.otherChoice.transform == ars::Transform::InverseSqrt;
}

void rebuildDensityCurve(WindowModel& model) {
  if (model.density.isOther()) {
    rebuildOtherCurve(model);
  } else {
    rebuildBuiltInCurve(model);
  }
}

void preparePlot(CurveState& curve, const ViewOptions& view) {
  Plotter& plotter = curve.plotter;
  if (view.logScale || curve.tScale) {
    plotter.autoScaleX = true;
    plotter.autoScaleY = true;
    plotter.drawYTicks = true;
  } else {
    plotter.drawYTicks = false;
  }
  // The plotter itself rescales only with data to plot.
  if (plotter.numPoints >= 2) plotter.rescale();
}
