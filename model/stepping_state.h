#pragma once
// The stepping display: whether it runs, what the last step did, and where
// Step back replays from.
#include <optional>
#include <vector>

#include "model/plain_rejection.h"
#include "model/proof_highlight.h"
#include "model/step_beat.h"
#include "sampler/uniform_random.h"

// What the last sampler step did, as the status line reports it.
enum class StepResult { None, SqueezeAccept, DensityAccept, Rejection };

struct SteppingState {
  bool active = false;
  bool lastAccepted = true;
  int stepsTaken = 0;
  StepResult lastResult = StepResult::None;
  bool animating = false;
  // Since the last command that started the sampler.
  bool notLogConcaveShown = false;
  // After a not-log-concave report while stepping: the points that prove it,
  // shown with the envelope until the next command.
  std::optional<ProofHighlight> proof;
  // The envelope the last candidate was drawn under, and whether the window
  // shows the candidate against it (with two beats per step).
  StepBeat beat;
  // The random state and the sampler's scale as stepping began.
  UniformRandom startRandom;
  double startOffset = 0.0;
  // The accepted candidates since stepping began, in order: a replay rebuilds them.
  std::vector<double> acceptedX;
  // Plain rejection beside the steps: as many candidates as steps taken,
  // from a stream of its own (model/plain_beside.h).
  PlainRejection plain;
};
