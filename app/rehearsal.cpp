// Step back: the stepping display one step earlier, replayed from the state
// in which stepping began. The replay draws the same uniforms, so the
// envelope and the random state end as they were after that step.
#include "app/main_window.h"

void MainWindow::rememberSteppingStart() {
  steppingStartRandom = rnd;
  // The sampler carries its scale from one preparation to the next.
  steppingStartOffset = sampler.scaleOffset;
}

void MainWindow::replaySteps(int count) {
  rnd = steppingStartRandom;
  sampler.scaleOffset = steppingStartOffset;
  stepping = true;
  lastStepAccepted = false;
  stepsTaken = 0;
  lastStepResult = StepResult::None;
  notLogConcaveShown = false;
  try {
    prepareSampler();
    // A typed density has its starting points from the search already.
    if (densityKind != otherDensityKind) sampler.initPoints();
    sampler.buildEnvelope();
    while (stepsTaken < count) lastStepAccepted = takeStep();
  } catch (const ARSSampler::XNotLogConcave&) {
    // Only a changed program could fail where the first run did not.
    showRefusal();
    stopStepping();
  } catch (const std::exception& e) {
    showUnusable(e.what());
    stopStepping();
  }
}

void MainWindow::stepBack() {
  // After a report the display shows the failed step; one back is the last good one.
  if (proof) {
    proof.reset();
    replaySteps(stepsTaken);
    return;
  }
  if (!stepping || stepsTaken == 0) return;
  replaySteps(stepsTaken - 1);
}
