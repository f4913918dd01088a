#include "model/other_density.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "density/plot_range.h"
#include "model/density_curve.h"
#include "model/refusal.h"
#include "model/sampler_commands.h"
#include "model/transformed_darts.h"
#include "model/window_model.h"
#include "sampler/not_log_concave.h"
#include "sampler/starting_point_search.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

std::string describe(const DensityChoice& c) {
  std::string formula = c.formula;
  if (formula.size() > 60) formula = formula.substr(0, 57) + "\xe2\x80\xa6";
  return std::string(c.logDensity ? "Log-density " : "Density ") + formula + " on [" +
         supportEndText(c.lower) + ", " + supportEndText(c.upper) + "]";
}

}  // namespace

std::string selectOtherDensity(WindowModel& model, const DensityChoice& choice) {
  std::unique_ptr<FormulaDensity> density;
  try {
    density = std::make_unique<FormulaDensity>(choice);
  } catch (const FormulaDensity::XInvalid& e) {
    return e.what();
  }
  stopStepping(model);
  clearDarts(model);
  model.stepping.notLogConcaveShown = false;
  DensityState& d = model.density;
  d.otherChoice = choice;
  if (d.otherChoice.caption.empty()) d.otherChoice.caption = describe(choice);
  d.otherDensity = std::move(density);

  // Where the search succeeds its points show where the density lives; the
  // refusal, if any, is known from here on.
  const FormulaDensity& typed = *d.otherDensity;
  const auto f = [&typed](double x) { return typed.logDensity(x); };
  std::vector<HullPoint> known;
  d.refusal.clear();
  d.refusalProof.reset();
  const bool logConcave = plainLogConcave(choice);
  try {
    known = logConcave ? StartingPointSearch(f, choice.lower, choice.upper, {}).points()
                       : transformedStartPoints(typed, choice);
  } catch (const ARSSampler::XNotLogConcave&) {
  } catch (const std::exception& e) {
    // The transformed sampler's reasons name its transformation and points.
    d.refusal = std::string(e.what()) + ".";
  }
  // The transformed sampler's first points need not span a heavy tail's
  // mass: its range is explored from the density's values instead.
  const PlotRange range = plotRange(f, choice.lower, choice.upper, logConcave ? known : std::vector<HullPoint>{});
  d.otherXMin = range.xMin;
  d.otherXMax = range.xMax;
  // A heavy tail would leave the peak a spike: the plot shows where the
  // density is within 1/400 of it, the darts beyond lie outside the frame.
  if (choice.transform == ars::Transform::InverseSqrt) visibleRange(typed, d.otherXMin, d.otherXMax, std::log(400.0));
  if (known.empty() && !logConcave) {
    visibleRange(typed, d.otherXMin, d.otherXMax);
  } else if (known.empty()) {
    // Refused: the plot shows where the density is visible, not its tails.
    visibleRange(typed, d.otherXMin, d.otherXMax);
    ProofHighlight triple;
    triple.belowX = infinity;
    const std::string sentence = refusalSentence(typed, d.otherXMin, d.otherXMax, &triple);
    if (d.refusal.empty()) d.refusal = sentence;
    if (std::isfinite(triple.belowX)) {
      triple.sentence = sentence;
      d.refusalProof = triple;
    }
  }

  d.kind = otherDensityKind;
  rebuildDensityCurve(model);
  return "";
}
