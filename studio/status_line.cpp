#include "studio/status_line.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "density/density_kinds.h"
#include "display/axis_ticks.h"
#include "display/candidate_marker.h"
#include "display/plot_layout.h"
#include "model/plain_beside.h"
#include "model/refusal.h"
#include "model/sampler_in_use.h"
#include "model/step_beat.h"
#include "model/window_model.h"
#include "studio/text_format.h"

namespace {

std::string densityInWords(int kind) {
  const DensityKind& row = densityKindRow(kind);
  switch (row.instance) {
    case DensityInstance::Beta:
      return format("Beta density with alpha = %g and beta = %g", row.alpha, row.beta);
    case DensityInstance::Gamma:
      return format("Gamma density with shape %g and scale %g", row.alpha, row.beta);
    case DensityInstance::Test:
      break;
  }
  return "Test density, a posterior on (0, 1)";
}

std::string whatTheStepDid(StepResult result, const std::string& x) {
  switch (result) {
    case StepResult::SqueezeAccept:
      return "accepted by the squeeze";
    case StepResult::DensityAccept:
      return "accepted after evaluating the density";
    case StepResult::Rejection:
      return "rejected: new point at x = " + x;
    case StepResult::None:
      break;
  }
  return "";
}

// With two beats per step: the candidate's decision in full at its first
// beat, the refinement at a rejected step's second; short enough that the
// running count after it fits beside the legend.
std::string whatTheBeatShows(const EnvelopeSummary& envelope, bool candidateShown, StepResult result,
                             const std::string& x) {
  if (!candidateShown) {
    if (result == StepResult::Rejection) {
      return format("refined through x = %s: %zu points, squeeze %.0f%% of hull area.", x.c_str(),
                    envelope.points, 100.0 * envelope.squeezeShare);
    }
    return whatTheStepDid(result, x) + ".";
  }
  switch (result) {
    case StepResult::SqueezeAccept:
      return "x = " + x + " under the squeeze: accepted, not evaluated.";
    case StepResult::DensityAccept:
      return "x = " + x + " under the curve: accepted after evaluating.";
    case StepResult::Rejection:
    case StepResult::None:
      break;
  }
  return "x = " + x + " above the curve: rejected, becomes a point.";
}

// What stepping has drawn since it began; each step draws one candidate.
std::string runningCount(const ars::SamplerCounts& counts) {
  return format(" Candidates %llu: %llu squeezed, %llu evaluated, %llu rejected; %llu evaluations.",
                static_cast<unsigned long long>(counts.draws), static_cast<unsigned long long>(counts.squeezeAccepts),
                static_cast<unsigned long long>(counts.densityAccepts),
                static_cast<unsigned long long>(counts.rejections),
                static_cast<unsigned long long>(counts.evaluations));
}

// 2180 as "2,180": the figures side by side are read at a glance.
std::string grouped(unsigned long long n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

// What the plain half leaves out: the support beyond the plotted range, or
// darts when its box was too empty to fill.
std::string comparisonNotes(const DartsState& darts) {
  const PlainRejection& plain = darts.plain;
  std::string notes;
  if (plain.rangeCutsSupport) {
    // No dart beyond the range bounds the mass left out by one dart's share.
    const double share = plain.massLeftOut > 0 ? plain.massLeftOut : 1.0 / static_cast<double>(darts.x.size());
    notes += format(". Plain covers only %g to %g, leaving out %s %.2g%% of the mass", plain.xMin, plain.xMax,
                    plain.massLeftOut > 0 ? "about" : "under", 100.0 * share);
  }
  if (plain.acceptedX.size() < darts.x.size()) notes += ". Plain stopped at its candidates' limit";
  return notes;
}

std::string comparisonStatus(const DartsState& darts) {
  return "plain: " + grouped(darts.plain.evaluations) + " evaluations for " +
         grouped(darts.plain.acceptedX.size()) + " darts; adaptive: " + grouped(darts.lastThrow.evaluations) +
         " evaluations for " + grouped(darts.lastThrow.darts) + " darts" + comparisonNotes(darts);
}

std::string besideCounts(const BesideCounts& counts) {
  return grouped(counts.candidates) + " candidates, " + grouped(counts.evaluations) + " evaluations, " +
         grouped(counts.accepted) + " accepted";
}

// The two samplers stepped side by side: the same number of candidates, and
// what each paid for its accepted ones.
std::string besideStatus(const WindowModel& model) {
  const PlainRejection& plain = model.stepping.plain;
  std::string text = format("Step %d, plain: ", model.stepping.stepsTaken) + besideCounts(plainCounts(model)) +
                     "; adaptive: " + besideCounts(adaptiveCounts(model)) + ".";
  if (plain.rangeCutsSupport) text += format(" Plain covers only %g to %g.", plain.xMin, plain.xMax);
  return text;
}

// Said next to what the step did, before any count, while the shown hull
// lies below the density: the envelope is none there, whatever the counts say.
std::string hullGapNote(const WindowModel& model, const PlotLayout* layout) {
  if (layout == nullptr || layout->hullGaps.empty()) return "";
  const double span = model.curve.xMax - model.curve.xMin;
  std::string where;
  for (const HullCut& gap : layout->hullGaps) {
    where += (where.empty() ? "between " : " and between ") + valueAtResolution(gap.left, span) + " and " +
             valueAtResolution(gap.right, span);
  }
  const bool log = !model.typed || model.typed->transform() == ars::Transform::Log;
  return "Not an envelope " + where + ": the density is not " +
         (log ? std::string("log-concave") : "concave under \xe2\x88\x92" "1/\xe2\x88\x9a" "f") + " there. ";
}

}  // namespace

std::string candidateOutsideNote(const WindowModel& model, const PlotLayout* layout) {
  const std::optional<LastCandidate> candidate = lastCandidate(model);
  if (layout == nullptr || !candidate || !layout->curveShown) return "";
  // Between beats no candidate is drawn.
  if (model.view.twoBeats && model.stepping.active && !candidateBeatShown(model)) return "";
  // Where the picture draws it.
  const double height = plottedHeight(model.curve, model.view.logScale, candidate->logY);
  const int px = wholePixelX(layout->mapping, candidate->x);
  const int py = wholePixelY(layout->mapping, height);
  switch (sideOfFrame(layout->frame, px, py)) {
    case FrameSide::Above:
      return " Candidate above the plot, marked at its top edge.";
    case FrameSide::Below:
      return " Candidate below the plot, marked at its bottom edge.";
    case FrameSide::Left:
      return " Candidate left of the plot, marked at its left edge.";
    case FrameSide::Right:
      return " Candidate right of the plot, marked at its right edge.";
    case FrameSide::Inside:
      break;
  }
  return "";
}

std::string statusLine(const WindowModel& model, const PlotLayout* layout) {
  const DensityState& density = model.density;
  const SteppingState& stepping = model.stepping;
  const DartsState& darts = model.darts;
  const bool logScale = model.view.logScale;
  const std::optional<ProofHighlight>& proof = stepping.proof;
  if (proof) {
    const bool beforeAnyStep = proof->fromCurve;
    return (beforeAnyStep ? density.otherChoice.caption + ": " : format("Step %d: ", stepping.stepsTaken + 1)) + proof->sentence +
           (logScale ? "" : " Ctrl+L shows it on the log scale.");
  }
  if (density.isOther() && stepping.notLogConcaveShown && !stepping.active) {
    return density.otherChoice.caption + ": " + otherDensityReport(density);
  }
  if (darts.comparing && !stepping.active) return comparisonStatus(darts);
  std::string animation;
  if (stepping.animating) {
    animation = format(" Animating: %g steps a second (+ faster, \xe2\x88\x92 slower, Space stops).",
                       std::round(10000.0 / animationInterval(model.view)) / 10);
  }
  if (stepping.notLogConcaveShown && !stepping.active) {
    return densityInWords(density.kind) + " is not log-concave: the sampler refuses it.";
  }
  if (stepping.active) {
    const std::optional<EnvelopeSummary> summary = envelopeSummary(model);
    if (!summary) return "Choosing starting points\xe2\x80\xa6";
    // The built-in kinds keep their classic words; the modes added since say
    // what the share is a share of.
    const std::string envelope =
        format(density.isOther() ? "%zu points, %llu evaluations, squeeze %.0f%% of hull area."
                                 : "%zu points, %llu evaluations, squeeze %.0f%% of the envelope.",
               summary->points, static_cast<unsigned long long>(summary->evaluations), 100.0 * summary->squeezeShare);
    // A typed density may lie at any scale: its new point gets the digits its range needs.
    const double lastX = lastCandidate(model).value_or(LastCandidate{}).x;
    const std::string newPointText = density.isOther()
                                         ? valueAtResolution(lastX, model.curve.xMax - model.curve.xMin)
                                         : format("%.3f", lastX);
    const std::string gapNote = hullGapNote(model, layout);
    if (stepping.stepsTaken == 0 || stepping.lastResult == StepResult::None) {
      return "Start: " + gapNote + envelope + " Ctrl+N draws a candidate." + animation;
    }
    if (plainBesideShown(model)) return besideStatus(model) + animation;
    const std::string step = format("Step %d: ", stepping.stepsTaken);
    // Counted while the rug shows them.
    const std::string accepted =
        model.view.acceptedValues ? " " + grouped(stepping.acceptedX.size()) + " accepted so far." : "";
    const std::string outside = accepted + candidateOutsideNote(model, layout) + animation;
    if (model.view.twoBeats) {
      const std::string beat = whatTheBeatShows(*summary, candidateBeatShown(model), stepping.lastResult, newPointText);
      return step + beat + (gapNote.empty() ? "" : " " + gapNote.substr(0, gapNote.size() - 1)) +
             runningCount(samplerCounts(model)) + outside;
    }
    return step + whatTheStepDid(stepping.lastResult, newPointText) + ". " + gapNote + envelope + outside;
  }
  if (!darts.x.empty()) {
    const double rate = darts.lastThrow.candidates > 0
                            ? 100.0 * static_cast<double>(darts.lastThrow.darts) / static_cast<double>(darts.lastThrow.candidates)
                            : 0.0;
    return format("%zu darts from %llu candidates (%.1f%% accepted), %llu evaluations, %zu points at the end.",
                  darts.lastThrow.darts, static_cast<unsigned long long>(darts.lastThrow.candidates), rate,
                  static_cast<unsigned long long>(darts.lastThrow.evaluations), darts.lastThrow.points);
  }
  if (density.isOther()) return density.otherChoice.caption + ".";
  return densityInWords(density.kind) + ".";
}

std::string plotToolTip(const WindowModel& model) {
  std::string tip = plotToolTip(model.view, model.curve.tScale);
  // Its caption names no formula, and a longer caption would change its
  // picture: the formula is told here.
  if (!model.density.isOther() && densityKindRow(model.density.kind).instance == DensityInstance::Test) {
    tip += "\nTest density: the posterior of x on (0, 1), flat prior, for 10 observations y from "
           "Beta(m t, (1 \xe2\x88\x92 m) t) with m = 0.765 and t = (1 \xe2\x88\x92 x)/x:\n"
           "log f(x) = 10 [ln \xce\x93(t) \xe2\x88\x92 ln \xce\x93(m t) \xe2\x88\x92 ln \xce\x93((1 \xe2\x88\x92 m) t)] "
           "+ m t \xce\xa3 ln y + (1 \xe2\x88\x92 m) t \xce\xa3 ln(1 \xe2\x88\x92 y), with \xce\xa3 ln y = "
           "\xe2\x88\x92" "2.844 and \xce\xa3 ln(1 \xe2\x88\x92 y) = \xe2\x88\x92" "14.256. "
           "It is not log-concave: the sampler refuses it with a proof.";
  }
  return tip;
}

std::string plotToolTip(const ViewOptions& view, bool tScaleShown) {
  if (tScaleShown) {
    return "T scale: each height is \xe2\x88\x92" "1/\xe2\x88\x9a(density / its peak); the density is "
           "concave on it, so the sampler's hull and squeeze are straight lines.";
  }
  if (view.logScale) {
    return "Log scale: each height is the log density plus a constant that puts the curve's peak at "
           "50; one unit up multiplies the density by e = 2.72.";
  }
  return "Normal scale: heights are the density times a constant; only the shape matters.";
}
