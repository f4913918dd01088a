#include "studio/why_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "display/axis_ticks.h"
#include "model/sampler_in_use.h"
#include "model/step_decision.h"
#include "model/window_model.h"
#include "studio/text_format.h"

namespace {

// Heights as the vertical axis shows them, so that the numbers can be read
// off the picture; the normal scale's axis has no numbers, and its heights
// are given as shares of the curve's peak.
double peakHeight(const WindowModel& model) {
  double peak = 0.0;
  for (const double y : model.curve.yValues) peak = std::max(peak, y);
  return peak;
}

bool asShareOfPeak(const WindowModel& model) {
  return !model.view.logScale && !model.curve.tScale && peakHeight(model) > 0;
}

std::string height(const WindowModel& model, double logValue) {
  if (logValue == -INFINITY) return model.view.logScale && !model.curve.tScale ? "\xe2\x88\x92\xe2\x88\x9e" : "0";
  const double plotted = plottedHeight(model.curve, model.view.logScale, logValue);
  return format(asShareOfPeak(model) ? "%.3g" : "%.4g", asShareOfPeak(model) ? plotted / peakHeight(model) : plotted);
}

std::string abscissa(const WindowModel& model, double x) {
  return model.density.isOther() ? valueAtResolution(x, model.curve.xMax - model.curve.xMin) : format("%.3f", x);
}

const char* const le = " \xe2\x89\xa4 ";  // ≤
const char* const gt = " > ";

std::vector<WhyLine> startLines(const WindowModel& model) {
  const std::optional<EnvelopeSummary> summary = envelopeSummary(model);
  if (!summary) return {{"Choosing starting points\xe2\x80\xa6", false}};
  const unsigned long long evaluations = summary->evaluations;
  std::vector<WhyLine> lines = {
      {format("Start: %zu points, %llu evaluations.", summary->points, evaluations), false},
  };
  if (evaluations > summary->points) {
    lines.push_back({"The search for a start evaluated", false});
    lines.push_back({format("f %llu times and kept the points", evaluations), false});
    lines.push_back({"around the peak, so that the", false});
    lines.push_back({"hull falls on both sides.", false});
  } else {
    lines.push_back({"Each point cost one evaluation of f.", false});
  }
  lines.push_back({"Ctrl+N draws a candidate under the hull.", false});
  return lines;
}

}  // namespace

std::vector<WhyLine> whyLines(const WindowModel& model) {
  const SteppingState& stepping = model.stepping;
  std::vector<WhyLine> lines;
  if (!stepping.active) {
    return {{"Ctrl+S starts stepping, Ctrl+N draws", false},
            {"a candidate: this panel shows its", false},
            {"numbers and what decided it.", false}};
  }
  if (stepping.stepsTaken == 0) return startLines(model);
  const std::optional<StepDecision> found = lastDecision(model);
  if (!found) return {{format("Step %d.", stepping.stepsTaken), false}};
  const StepDecision& d = *found;
  const bool hasHull = !std::isnan(d.hull);
  const bool hasSqueeze = !std::isnan(d.squeeze);
  const bool evaluated = !std::isnan(d.logDensity);
  const std::string dart = height(model, d.dart);
  const std::string squeeze = hasSqueeze ? height(model, d.squeeze) : "";
  const std::string f = evaluated ? height(model, d.logDensity) : "?";
  lines.push_back({format("Step %d: candidate x = %s", stepping.stepsTaken, abscissa(model, d.x).c_str()), false});
  if (hasHull) {
    lines.push_back({format("u = %.3f, hull at x = %s", std::exp(d.dart - d.hull), height(model, d.hull).c_str()),
                     false});
  }
  lines.push_back({"dart u\xc2\xb7hull = " + dart, false});
  if (hasSqueeze) {
    lines.push_back({"squeeze at x = " + squeeze, false});
  } else if (hasHull) {
    lines.push_back({"no squeeze on an outer piece", false});
  }
  const auto squeezeFails = [&] {
    lines.push_back({hasSqueeze ? "u\xc2\xb7hull > squeeze: evaluate f(x)" : "so f(x) is evaluated", false});
  };
  switch (d.result) {
    case StepResult::SqueezeAccept:
      lines.push_back({"u\xc2\xb7hull = " + dart + le + "squeeze" + (hasSqueeze ? " = " + squeeze : "") + ":", true});
      lines.push_back({"accepted without evaluating f.", true});
      break;
    case StepResult::DensityAccept:
      squeezeFails();
      lines.push_back({"u\xc2\xb7hull = " + dart + le + "f(x) = " + f + ":", true});
      lines.push_back({"accepted after evaluating.", true});
      break;
    case StepResult::Rejection:
      if (d.outsideLimits) {
        lines.push_back({"x lies outside the envelope's limits:", true});
        lines.push_back({"rejected, not evaluated.", true});
        break;
      }
      squeezeFails();
      if (evaluated && hasHull && d.logDensity > d.hull) {
        lines.push_back({"f(x) = " + f + " > the hull itself:", true});
        lines.push_back({"rejected; x becomes a point", true});
        lines.push_back({"and mends the hull here.", false});
        break;
      }
      lines.push_back({"u\xc2\xb7hull = " + dart + gt + "f(x) = " + f + ":", true});
      lines.push_back({"rejected, x becomes a point.", true});
      lines.push_back({"Through it hull and squeeze", false});
      lines.push_back({"now close in on f here.", false});
      break;
    case StepResult::None:
      break;
  }
  const std::uint64_t start = stepping.progressStart.evaluations;
  const std::uint64_t now = samplerCounts(model).evaluations;
  lines.push_back({format("Evaluations: %llu at start + %llu = %llu", static_cast<unsigned long long>(start),
                          static_cast<unsigned long long>(now - start), static_cast<unsigned long long>(now)),
                   false});
  lines.push_back({asShareOfPeak(model) ? "Heights: shares of the peak" : "Heights as on the y axis", false});
  return lines;
}
