#include "model/other_density.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "density/plot_range.h"
#include "model/density_curve.h"
#include "model/refusal.h"
#include "model/sampler_commands.h"
#include "model/window_model.h"
#include "sampler/not_log_concave.h"

namespace {

// The range grown to hold the proof's three points with a margin, where
// they lie near it; points far out would squeeze the curve to a spike.
void includeProof(const ProofHighlight& p, double& xMin, double& xMax) {
  const double from = std::min(p.leftX, xMin);
  const double to = std::max(p.rightX, xMax);
  if (!(to - from <= 4 * (xMax - xMin))) return;
  const double margin = (to - from) / 20;
  xMin = std::min(xMin, p.leftX - margin);
  xMax = std::max(xMax, p.rightX + margin);
}

struct SearchRecord {
  // Far more than a search evaluates.
  static constexpr std::size_t limit = 100000;
  bool on = true;
  std::vector<HullPoint> points;
};

std::string describe(const DensityChoice& c) {
  std::string formula = c.formula;
  if (formula.size() > 60) formula = formula.substr(0, 57) + "\xe2\x80\xa6";
  return std::string(c.logDensity ? "Log-density " : "Density ") + formula + " on [" +
         supportEndText(c.lower) + ", " + supportEndText(c.upper) + "]";
}

// Below the highest point by this much the density no longer shows.
constexpr double visibleDrop = 25.0;

// The search's points may all lie near the mode, and some far off (where it
// came from). From the outermost visible point on one side (direction -1 or
// +1), steps of the spacing to its neighbour, doubling, until the density
// has fallen visibleDrop below the highest point or an end of the support
// comes first.
double walkOut(const std::function<double(double)>& f, const std::vector<HullPoint>& p, std::size_t top,
               double lower, double upper, int direction) {
  std::size_t edge = top;
  const auto next = [&](std::size_t i) { return direction > 0 ? i + 1 : i - 1; };
  const auto inside = [&](std::size_t i) { return direction > 0 ? i + 1 < p.size() : i > 0; };
  while (inside(edge) && p[next(edge)].h >= p[top].h - visibleDrop) edge = next(edge);
  if (inside(edge)) return p[next(edge)].x;
  const std::size_t neighbour = direction > 0 ? edge - 1 : edge + 1;  // edge is the last or first point
  double step = std::fabs(p[edge].x - p[neighbour].x);
  double x = p[edge].x;
  for (int i = 0; i < 200 && step > 0; ++i, step *= 2) {
    const double ahead = x + direction * step;
    if (!(ahead > lower && ahead < upper)) return direction > 0 ? upper : lower;
    const double h = f(ahead);
    if (!(h >= p[top].h - visibleDrop)) return ahead;
    x = ahead;
  }
  return x;
}

// The span where the density shows, as two points for the plotted range.
std::vector<HullPoint> spanOf(const std::function<double(double)>& f, const EnvelopeStepper& sampler,
                              double lower, double upper) {
  const std::vector<HullPoint>& p = sampler.points();
  std::size_t top = 0;
  for (std::size_t i = 1; i < p.size(); ++i) {
    if (p[i].h > p[top].h) top = i;
  }
  const double from = walkOut(f, p, top, lower, upper, -1);
  const double to = walkOut(f, p, top, lower, upper, +1);
  return {HullPoint{from, f(from)}, HullPoint{to, f(to)}};
}

// Refused: the plot shows where the density is visible, not its tails, and
// the proof's points with it.
void narrowToRefusal(DensityState& d) {
  visibleRange(*d.otherDensity, d.otherXMin, d.otherXMax);
  if (d.refusalProof) includeProof(*d.refusalProof, d.otherXMin, d.otherXMax);
}

}  // namespace

std::string selectOtherDensity(WindowModel& model, const DensityChoice& choice) {
  std::shared_ptr<const FormulaDensity> density = parsedFormula(choice);
  if (!density) {
    try {
      density = std::make_shared<const FormulaDensity>(choice);
    } catch (const FormulaDensity::XInvalid& e) {
      return e.what();
    }
  }
  stopStepping(model);
  clearDarts(model);
  model.stepping.notLogConcaveShown = false;
  DensityState& d = model.density;
  // The typed sampler calls the density it replaces.
  model.typed.reset();
  d.otherChoice = choice;
  d.otherChoice.parsed = density;
  if (d.otherChoice.caption.empty()) d.otherChoice.caption = describe(choice);
  d.otherDensity = std::move(density);

  // The library's search runs once, here: its points show where the density
  // lives, and a refusal is known from here on with its proof.
  const FormulaDensity& typed = *d.otherDensity;
  const auto f = [&typed](double x) { return typed.logDensity(x); };
  d.refusal.clear();
  d.refusedNotIntegrable = false;
  d.refusalProof.reset();
  d.otherStart.reset();
  d.otherFailure = nullptr;
  // The search's evaluations, kept while it runs: a refusal that carries no
  // points is proved from them. The sampler keeps this density; it records
  // nothing after the search.
  const auto searched = std::make_shared<SearchRecord>();
  const auto recorded = [&typed, searched](double x) {
    const double h = typed.logDensity(x);
    if (searched->on && searched->points.size() < SearchRecord::limit) searched->points.push_back(HullPoint{x, h});
    return h;
  };
  try {
    d.otherStart.emplace(recorded, choice.lower, choice.upper, choice.transform, choice.splits);
    searched->on = false;
    searched->points = {};
  } catch (const ars::NotLogConcave& e) {
    searched->on = false;
    recordRefusal(d, e, searched->points);
    d.otherFailure = std::current_exception();
  } catch (const std::invalid_argument& e) {
    d.refusal = std::string(e.what()) + ".";
    d.otherFailure = std::current_exception();
  }
  const std::vector<HullPoint> span =
      d.otherStart ? spanOf(f, *d.otherStart, choice.lower, choice.upper) : std::vector<HullPoint>{};
  const PlotRange range = plotRange(f, choice.lower, choice.upper, span);
  d.otherXMin = range.xMin;
  d.otherXMax = range.xMax;
  // A heavy tail would leave the peak a spike: the plot shows where the
  // density is within 1/400 of it, the darts beyond lie outside the frame.
  if (choice.transform == ars::Transform::InverseSqrt) visibleRange(typed, d.otherXMin, d.otherXMax, std::log(400.0));
  if (d.otherFailure) narrowToRefusal(d);

  d.kind = otherDensityKind;
  rebuildDensityCurve(model);
  return "";
}

void refuseOtherDensity(WindowModel& model, const ars::NotLogConcave& report) {
  DensityState& d = model.density;
  // The envelope's points and the last candidate, where the proof may lie.
  std::vector<HullPoint> evaluated;
  if (model.typed) {
    evaluated = model.typed->points();
    if (model.typed->hasLastDraw() && d.otherDensity) {
      const double x = model.typed->lastX();
      evaluated.push_back(HullPoint{x, d.otherDensity->logDensity(x)});
    }
  }
  recordRefusal(d, report, evaluated);
  d.otherFailure = std::make_exception_ptr(report);
  narrowToRefusal(d);
  rebuildDensityCurve(model);
}
