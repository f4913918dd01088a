#include "model/sampler_commands.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <stdexcept>

#include "density/density_kinds.h"
#include "model/density_curve.h"
#include "model/other_density.h"
#include "model/proof_finding.h"
#include "model/refusal.h"
#include "model/reports.h"
#include "model/sampler_in_use.h"
#include "model/step_beat.h"
#include "model/window_model.h"
#include "sampler/not_log_concave.h"

namespace {

ProgressEntry progressNow(const WindowModel& model) {
  const ars::SamplerCounts& counts = samplerCounts(model);
  const std::optional<EnvelopeSummary> summary = envelopeSummary(model);
  ProgressEntry entry;
  entry.squeezeShare = summary ? summary->squeezeShare : 0.0;
  entry.candidates = counts.draws;
  entry.accepted = counts.squeezeAccepts + counts.densityAccepts;
  entry.evaluations = counts.evaluations;
  entry.x = lastCandidate(model).value_or(LastCandidate{}).x;
  entry.result = model.stepping.lastResult;
  return entry;
}

// Only reads the sampler: the steps draw exactly as without it.
void recordProgress(WindowModel& model) {
  SteppingState& stepping = model.stepping;
  if (stepping.stepsTaken <= 0) return;
  stepping.progress.resize(std::min(stepping.progress.size(), static_cast<std::size_t>(stepping.stepsTaken - 1)));
  stepping.progress.push_back(progressNow(model));
}

bool takeCandidate(WindowModel& model) {
  SteppingState& stepping = model.stepping;
  if (stepping.stepsTaken == 0) {
    stepping.progressStart = progressNow(model);
    stepping.progress.clear();
  }
  if (model.typed) {
    rememberEnvelope(stepping.beat, *model.typed);
    stepping.lastResult = model.typed->step(model.rnd);
    ++stepping.stepsTaken;
    recordProgress(model);
    return stepping.lastResult != StepResult::Rejection;
  }
  ARSSampler& sampler = model.sampler;
  const ars::SamplerCounts before = sampler.counts;
  rememberEnvelope(stepping.beat, sampler);
  const bool accepted = sampler.step();
  ++stepping.stepsTaken;
  if (sampler.counts.squeezeAccepts != before.squeezeAccepts) {
    stepping.lastResult = StepResult::SqueezeAccept;
  } else if (sampler.counts.densityAccepts != before.densityAccepts) {
    stepping.lastResult = StepResult::DensityAccept;
  } else {
    stepping.lastResult = StepResult::Rejection;
  }
  recordProgress(model);
  return accepted;
}

// Every step goes through here: an accepted candidate joins those shown under the curve.
bool takeStep(WindowModel& model) {
  const bool accepted = takeCandidate(model);
  if (accepted) model.stepping.acceptedX.push_back(lastCandidate(model).value_or(LastCandidate{}).x);
  return accepted;
}

// A typed density whose search passed, proved not log-concave by a later
// candidate: recorded so that every later start refuses at once.
void refusedOnTheWay(WindowModel& model, const ars::NotLogConcave& report) {
  if (model.density.isOther() && !model.density.otherFailure) refuseOtherDensity(model, report);
}

// A copy of the typed sampler as its search left it. A density refused
// since then refuses every new start at once; a replay (Step back) still
// runs up to the step before the proof.
void prepareTyped(WindowModel& model, bool replay) {
  model.typed.reset();
  const DensityState& d = model.density;
  if (!d.otherStart || (d.otherFailure && !replay)) std::rethrow_exception(d.otherFailure);
  model.typed = d.otherStart;
}

// Starting points and the first envelope; a typed density has both from
// the search already.
void buildFirstEnvelope(WindowModel& model, bool replay = false) {
  if (model.density.isOther()) {
    prepareTyped(model, replay);
    return;
  }
  prepareSampler(model);
  model.sampler.initPoints();
  model.sampler.buildEnvelope();
}

void beginStepping(SteppingState& stepping) {
  stepping.active = true;
  stepping.lastAccepted = false;
  stepping.stepsTaken = 0;
  stepping.lastResult = StepResult::None;
  stepping.beat.candidateShown = false;
  stepping.acceptedX.clear();
}

void rememberSteppingStart(WindowModel& model) {
  model.stepping.startRandom = model.rnd;
  // The sampler carries its scale from one preparation to the next.
  model.stepping.startOffset = model.sampler.scaleOffset;
}

void replaySteps(WindowModel& model, Reports& reports, int count) {
  model.rnd = model.stepping.startRandom;
  model.sampler.scaleOffset = model.stepping.startOffset;
  beginStepping(model.stepping);
  model.stepping.notLogConcaveShown = false;
  try {
    buildFirstEnvelope(model, true);
    while (model.stepping.stepsTaken < count) model.stepping.lastAccepted = takeStep(model);
    showLastBeat(model);
  } catch (const ars::NotLogConcave& e) {
    // Only a changed program could fail where the first run did not.
    refusedOnTheWay(model, e);
    refuse(model, reports);
    stopStepping(model);
  } catch (const std::exception& e) {
    reports.unusable(e.what());
    stopStepping(model);
  }
}

// One step of the sampler whatever the beats; a report ends stepping.
void wholeStep(WindowModel& model, Reports& reports) {
  model.stepping.beat.candidateShown = false;
  try {
    model.stepping.lastAccepted = takeStep(model);
  } catch (const ars::NotLogConcave& e) {
    // The report is made while the offending candidate is still on display,
    // and the proof stays after it.
    refusedOnTheWay(model, e);
    findProof(model);
    refuse(model, reports);
    stopStepping(model);
  } catch (const std::exception& e) {
    reports.unusable(e.what());
    stopStepping(model);
  }
}

}  // namespace

void clearDarts(WindowModel& model) {
  model.darts.x.clear();
  model.darts.y.clear();
  model.darts.comparing = false;
  model.darts.plain.clear();
}

void stopStepping(WindowModel& model) {
  if (model.stepping.active) {
    model.stepping.active = false;
    model.stepping.lastAccepted = false;
  }
}

void prepareSampler(WindowModel& model) {
  model.typed.reset();
  if (model.density.isOther()) {
    prepareTyped(model, false);
    return;
  }
  ARSSampler& sampler = model.sampler;
  const DensityKind& kind = densityKindRow(model.density.kind);
  DensityState& d = model.density;
  ARSDensity* density = &d.testDensity;
  if (kind.instance == DensityInstance::Beta) {
    d.betaDensity.alpha = kind.alpha;
    d.betaDensity.beta = kind.beta;
    density = &d.betaDensity;
  } else if (kind.instance == DensityInstance::Gamma) {
    d.gammaDensity.alpha = kind.alpha;
    d.gammaDensity.beta = kind.beta;
    density = &d.gammaDensity;
  }
  sampler.clear();
  sampler.reset();
  sampler.density = density;
  if (!kind.upperBounded) sampler.upperBounded = false;
  sampler.keepPoints = true;
}

void throwDarts(WindowModel& model, Reports& reports) {
  DartsState& darts = model.darts;
  ARSSampler& sampler = model.sampler;
  darts.thrown = true;
  clearDarts(model);
  darts.x.reserve(darts.count);
  darts.y.reserve(darts.count);
  const auto addDart = [&](double x, double logY) {
    darts.x.push_back(x);
    darts.y.push_back(plottedHeight(model.curve, model.view.logScale, logY));
  };
  try {
    prepareSampler(model);
    for (int i = 0; i < darts.count; ++i) {
      if (model.typed) {
        const double x = model.typed->sample(model.rnd);
        addDart(x, model.typed->lastLogY());
      } else {
        sampler.sample();
        addDart(sampler.lastX, sampler.lastLogY);
      }
    }
  } catch (const ars::NotLogConcave& e) {
    // A typed density's darts before the proof came are no sample of it.
    if (model.typed) clearDarts(model);
    refusedOnTheWay(model, e);
    refuse(model, reports);
  } catch (const std::exception& e) {
    reports.unusable(e.what());
  }
  darts.comparing = false;
  const ars::SamplerCounts& counts = samplerCounts(model);
  darts.lastThrow = ThrowSummary{darts.x.size(), counts.draws, counts.evaluations, envelopePoints(model).size()};
}

// Runs the start of stepping; a density refused or unusable on the way ends
// stepping with its report.
template <class Start>
void startingOrReporting(WindowModel& model, Reports& reports, Start&& start) {
  try {
    start();
  } catch (const ars::NotLogConcave& e) {
    refusedOnTheWay(model, e);
    refuse(model, reports);
    model.stepping.active = false;
  } catch (const std::exception& e) {
    reports.unusable(e.what());
    model.stepping.active = false;
  }
}

void startStepping(WindowModel& model, Reports& reports) {
  rememberSteppingStart(model);
  beginStepping(model.stepping);
  startingOrReporting(model, reports, [&] { buildFirstEnvelope(model); });
}

void nextStep(WindowModel& model, Reports& reports) {
  if (!model.stepping.active) {
    // After a report the failed step would fail again: the last good step
    // and its proof stay on screen instead of a box about starting points.
    if (!model.stepping.proof) reports.notStepping();
    return;
  }
  // A rejected candidate shown with its decision: now the envelope it refined.
  if (secondBeatDue(model)) {
    model.stepping.beat.candidateShown = false;
    return;
  }
  wholeStep(model, reports);
  model.stepping.beat.candidateShown = model.view.twoBeats && model.stepping.active;
}

void takeWholeSteps(WindowModel& model, Reports& reports, int count) {
  for (int i = 0; i < count && model.stepping.active; ++i) wholeStep(model, reports);
  showLastBeat(model);
}

void stepUntilAccepted(WindowModel& model, Reports& reports) {
  rememberSteppingStart(model);
  startingOrReporting(model, reports, [&] {
    buildFirstEnvelope(model);
    beginStepping(model.stepping);
    while (!model.stepping.lastAccepted) model.stepping.lastAccepted = takeStep(model);
    showLastBeat(model);
  });
}

void stepBack(WindowModel& model, Reports& reports) {
  SteppingState& stepping = model.stepping;
  // After a report the display shows the failed step; one back is the last good one.
  if (stepping.proof) {
    stepping.proof.reset();
    replaySteps(model, reports, stepping.stepsTaken);
    return;
  }
  if (!stepping.active || stepping.stepsTaken == 0) return;
  if (firstBeatBehind(model)) {
    stepping.beat.candidateShown = true;
    return;
  }
  replaySteps(model, reports, stepping.stepsTaken - 1);
}

void restartFromSeed(WindowModel& model) {
  stopStepping(model);
  clearDarts(model);
  model.stepping.notLogConcaveShown = false;
  model.sampler.restart();
  model.typed.reset();
  model.rnd.state = model.rnd.seed;
}
