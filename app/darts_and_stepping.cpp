// The commands that drive the sampler: a throw of darts and the stepping display.
#include <stdexcept>

#include "app/main_window.h"
#include "app/typed_sampler.h"
#include "density/density_kinds.h"

namespace {
const char* const notLogConcaveCaption = "Log-concavity assumption violated";
const char* const notLogConcaveText =
    "Adaptive rejection sampler doesn't work for\ndensities that are not log-concave";
const char* const notSteppingCaption =
    "Attempted to take next step without first choosing starting points";
const char* const notSteppingText = "Choose \"Go | Step through\" to choose starting points";
}  // namespace

void MainWindow::showNotLogConcave() {
  notLogConcaveShown = true;
  showMessage(notLogConcaveText, notLogConcaveCaption);
}

void MainWindow::showMessage(const char* text, const char* caption) {
  // Nothing steps on behind a modal box.
  stopAnimation();
  if (hwnd) hwnd->messageBox(text, caption);
}

bool MainWindow::takeStep() {
  const ars::SamplerCounts before = sampler.counts;
  const bool accepted = sampler.step();
  ++stepsTaken;
  if (sampler.counts.squeezeAccepts != before.squeezeAccepts) {
    lastStepResult = StepResult::SqueezeAccept;
  } else if (sampler.counts.densityAccepts != before.densityAccepts) {
    lastStepResult = StepResult::DensityAccept;
  } else {
    lastStepResult = StepResult::Rejection;
  }
  return accepted;
}

void MainWindow::prepareSampler() {
  if (densityKind == otherDensityKind) {
    prepareOtherSampler();
    return;
  }
  if (samplerHoldsOther) {
    restoreProgramSettings(sampler);
    sampler.scaleOffset = builtInScaleOffset;
    samplerHoldsOther = false;
  }
  const DensityKind& kind = densityKindRow(densityKind);
  ARSDensity* density = &testDensity;
  if (kind.instance == DensityInstance::Beta) {
    betaDensity.alpha = kind.alpha;
    betaDensity.beta = kind.beta;
    density = &betaDensity;
  } else if (kind.instance == DensityInstance::Gamma) {
    gammaDensity.alpha = kind.alpha;
    gammaDensity.beta = kind.beta;
    density = &gammaDensity;
  }
  sampler.clear();
  sampler.reset();
  sampler.density = density;
  if (!kind.upperBounded) sampler.upperBounded = false;
  sampler.keepPoints = true;
}

void MainWindow::throwDarts() {
  dartsThrown = true;
  clearDarts();
  dartX.reserve(dartCount);
  dartY.reserve(dartCount);
  try {
    prepareSampler();
    for (int i = 0; i < dartCount; ++i) {
      sampler.sample();
      const double height = logScale ? sampler.lastLogY + curveLogOffset
                                     : shiftedExp(sampler.lastLogY, curveLogOffset);
      dartX.push_back(sampler.lastX);
      dartY.push_back(height);
    }
  } catch (const ARSSampler::XNotLogConcave&) {
    showRefusal();
  } catch (const std::exception& e) {
    showUnusable(e.what());
  }
  comparing = false;
  lastThrow = ThrowSummary{dartX.size(), sampler.counts.draws, sampler.counts.evaluations,
                           sampler.points.size()};
  repaint();
}

void MainWindow::startStepping() {
  rememberSteppingStart();
  stepping = true;
  lastStepAccepted = false;
  stepsTaken = 0;
  lastStepResult = StepResult::None;
  try {
    prepareSampler();
    // A typed density has its starting points from the search already.
    if (densityKind != otherDensityKind) sampler.initPoints();
    sampler.buildEnvelope();
  } catch (const ARSSampler::XNotLogConcave&) {
    showRefusal();
    stepping = false;
  } catch (const std::exception& e) {
    showUnusable(e.what());
    stepping = false;
  }
}

void MainWindow::nextStep() {
  if (!stepping) {
    showMessage(notSteppingText, notSteppingCaption);
    return;
  }
  try {
    lastStepAccepted = takeStep();
  } catch (const ARSSampler::XNotLogConcave&) {
    // The box is shown while the offending candidate is still on display,
    // and the proof stays after it.
    findProof();
    showRefusal();
    stopStepping();
  } catch (const std::exception& e) {
    showUnusable(e.what());
    stopStepping();
  }
}

void MainWindow::stepUntilAccepted() {
  rememberSteppingStart();
  try {
    prepareSampler();
    if (densityKind != otherDensityKind) sampler.initPoints();
    sampler.buildEnvelope();
    stepping = true;
    lastStepAccepted = false;
    stepsTaken = 0;
    lastStepResult = StepResult::None;
    while (!lastStepAccepted) lastStepAccepted = takeStep();
  } catch (const ARSSampler::XNotLogConcave&) {
    showRefusal();
    stepping = false;
  } catch (const std::exception& e) {
    showUnusable(e.what());
    stepping = false;
  }
}
