// The exact curve of the selected density, shifted so that its largest log
// value is 50, on the log or the normal scale.
#include <cmath>
#include <limits>
#include <vector>

#include "app/main_window.h"
#include "density/gamln.h"
#include "sampler/ars.h"

namespace {

struct CurveSettings {
  double alpha;
  double beta;
  bool keepParameters;  // the test density shows no parameters
  double plotXMax;
  double plotXMaxLog;
  double gridEnd;
  double gridEndLog;
  double gridStep;
};

// Kinds 1 to 6. Every plot starts at 0 and every grid at 0.01.
constexpr CurveSettings curveSettings[] = {
    {2.0, 3.0, false, 1.0, 1.0, 1.0, 1.0, 0.01},
    {0.5, 2.0, false, 1.0, 1.0, 1.0, 1.0, 0.01},
    {1.0, 1.0, false, 3.0, 3.0, 3.0, 3.0, 0.01},
    {10.0, 0.1, false, 3.0, 10.0, 3.0, 10.0, 0.01},
    {0.5, 2.0, false, 3.0, 3.0, 3.0, 3.0, 0.005},
    {0.0, 0.0, true, 1.0, 1.0, 0.99, 0.99, 0.005},
};
constexpr double gridStart = 0.01;

}  // namespace

void MainWindow::rebuildDensityCurve() {
  if (densityKind == otherDensityKind) {
    rebuildOtherDensityCurve();
    return;
  }
  const CurveSettings& k = curveSettings[densityKind - 1];
  if (!k.keepParameters) {
    alpha = k.alpha;
    beta = k.beta;
  }
  plotXMin = 0.0;
  plotXMax = logScale ? k.plotXMaxLog : k.plotXMax;
  const double gridEnd = logScale ? k.gridEndLog : k.gridEnd;

  clearPlotterForCurve();

  // Constant terms are computed once; each value still sums in the same order.
  const double logBeta = alpha * std::log(beta);
  const double logGammaAlpha = densityKind >= 3 && densityKind <= 5 ? gamln(alpha) : 0.0;
  const auto logDensity = [&](double x) {
    if (densityKind <= 2) return (alpha - 1) * std::log(x) + (beta - 1) * std::log(1 - x);
    if (densityKind <= 5) return (alpha - 1) * std::log(x) - x / beta - logBeta - logGammaAlpha;
    return testDensity.logDensity(x);
  };

  // Both passes walk the same grid by repeated addition; the values are kept
  // from the first pass instead of being evaluated twice.
  std::vector<double> xs;
  std::vector<double> values;
  double largest = -std::numeric_limits<double>::infinity();
  for (double x = gridStart; x < gridEnd; x += k.gridStep) {
    const double v = logDensity(x);
    if (v > largest) largest = v;
    xs.push_back(x);
    values.push_back(v);
  }
  curveLogOffset = 50 - largest;

  plotter.xValues.reserve(xs.size());
  plotter.yValues.reserve(xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double y = logScale ? values[i] + curveLogOffset : shiftedExp(values[i], curveLogOffset);
    plotter.addPoint(xs[i], y);
  }
}

void MainWindow::clearPlotterForCurve() {
  plotter.clear();
  plotter.histogramMode = false;
  plotter.xMin = plotXMin;
  plotter.xMax = plotXMax;
  plotter.autoScaleX = false;
  // A typed density may lie anywhere at any scale; on the normal scale its
  // darts fill the area down to 0.
  plotter.ticksAtRoundValues = densityKind == otherDensityKind;
  plotter.yFromZero = densityKind == otherDensityKind && !logScale;
  plotter.xTickStep = (plotter.xMax - plotter.xMin) / plotter.numXTicks;
  plotter.yTickStep = (plotter.yMax - plotter.yMin) / plotter.numYTicks;
}
