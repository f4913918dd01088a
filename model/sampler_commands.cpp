#include "model/sampler_commands.h"

#include <stdexcept>

#include "sampler/not_log_concave.h"

#include "density/density_kinds.h"
#include "model/density_curve.h"
#include "model/proof_finding.h"
#include "model/refusal.h"
#include "model/reports.h"
#include "model/transformed_darts.h"
#include "model/typed_sampler.h"
#include "model/window_model.h"

namespace {

bool takeStep(WindowModel& model) {
  ARSSampler& sampler = model.sampler;
  SteppingState& stepping = model.stepping;
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
  return accepted;
}

void prepareOtherSampler(WindowModel& model) {
  if (!model.samplerHoldsOther) {
    model.builtInScaleOffset = model.sampler.scaleOffset;
    model.samplerHoldsOther = true;
  }
  const DensityState& d = model.density;
  prepareTypedSampler(model.sampler, *d.otherDensity, d.otherChoice.lower, d.otherChoice.upper);
}

// Starting points and the first envelope; a typed density has its points
// from the search already.
void buildFirstEnvelope(WindowModel& model) {
  prepareSampler(model);
  if (!model.density.isOther()) model.sampler.initPoints();
  model.sampler.buildEnvelope();
}

// A typed density under a transformation or with split points: the window's
// ARSSampler knows only log-concave densities without them.
bool transformed(const WindowModel& model) {
  return model.density.isOther() && !plainLogConcave(model.density.otherChoice);
}

// Its darts come from the transformed sampler; what refuses the density on
// the way is recorded as its refusal.
void throwDartsTransformed(WindowModel& model, Reports& reports) {
  try {
    throwTransformedDarts(model);
  } catch (const ars::NotLogConcave& e) {
    model.density.refusal = std::string(e.what()) + ".";
    refuse(model, reports);
  } catch (const std::exception& e) {
    reports.unusable(e.what());
  }
}

// Stepping shows the window's ARSSampler, which cannot take such a density.
bool steppingUnavailable(WindowModel& model, Reports& reports) {
  if (!transformed(model)) return false;
  model.stepping.active = false;
  reports.steppingUnavailable(
      "Stepping through this density needs the envelope of its transformation or split points, "
      "which the stepping display does not show yet.\nGo | Throw darts samples it exactly.");
  return true;
}

void beginStepping(SteppingState& stepping) {
  stepping.active = true;
  stepping.lastAccepted = false;
  stepping.stepsTaken = 0;
  stepping.lastResult = StepResult::None;
  stepping.beat.candidateShown = false;
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
    buildFirstEnvelope(model);
    while (model.stepping.stepsTaken < count) model.stepping.lastAccepted = takeStep(model);
    showLastBeat(model);
  } catch (const ARSSampler::XNotLogConcave&) {
    // Only a changed program could fail where the first run did not.
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
  } catch (const ARSSampler::XNotLogConcave&) {
    // The report is made while the offending candidate is still on display,
    // and the proof stays after it.
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
  if (model.density.isOther()) {
    prepareOtherSampler(model);
    return;
  }
  ARSSampler& sampler = model.sampler;
  if (model.samplerHoldsOther) {
    restoreProgramSettings(sampler);
    sampler.scaleOffset = model.builtInScaleOffset;
    model.samplerHoldsOther = false;
  }
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
  if (transformed(model)) {
    throwDartsTransformed(model, reports);
    darts.comparing = false;
    return;
  }
  try {
    prepareSampler(model);
    for (int i = 0; i < darts.count; ++i) {
      sampler.sample();
      darts.x.push_back(sampler.lastX);
      darts.y.push_back(plottedHeight(model.curve, model.view.logScale, sampler.lastLogY));
    }
  } catch (const ARSSampler::XNotLogConcave&) {
    refuse(model, reports);
  } catch (const std::exception& e) {
    reports.unusable(e.what());
  }
  darts.comparing = false;
  darts.lastThrow =
      ThrowSummary{darts.x.size(), sampler.counts.draws, sampler.counts.evaluations, sampler.points.size()};
}

// Runs the start of stepping; a density refused or unusable on the way ends
// stepping with its report.
template <class Start>
void startingOrReporting(WindowModel& model, Reports& reports, Start&& start) {
  try {
    start();
  } catch (const ARSSampler::XNotLogConcave&) {
    refuse(model, reports);
    model.stepping.active = false;
  } catch (const std::exception& e) {
    reports.unusable(e.what());
    model.stepping.active = false;
  }
}

void startStepping(WindowModel& model, Reports& reports) {
  if (steppingUnavailable(model, reports)) return;
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
  if (steppingUnavailable(model, reports)) return;
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
  model.rnd.state = model.rnd.seed;
}
