#pragma once
// The stepping display: whether it runs, what the last step did, and where
// Step back replays from.
#include <cstdint>
#include <optional>
#include <vector>

#include "model/plain_rejection.h"
#include "model/proof_highlight.h"
#include "model/step_beat.h"
#include "sampler/uniform_random.h"

// What the last sampler step did, as the status line reports it.
enum class StepResult { None, SqueezeAccept, DensityAccept, Rejection };

// The envelope and the counts as a step left them: one point of the
// progress chart.
struct ProgressEntry {
  double squeezeShare = 0.0;
  std::uint64_t candidates = 0;
  std::uint64_t accepted = 0;
  std::uint64_t evaluations = 0;
  double x = 0.0;  // the step's candidate
  StepResult result = StepResult::None;
};

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
  // The start, and entry k - 1 after step k (kept up to stepsTaken; a replay
  // rewrites the same entries).
  ProgressEntry progressStart;
  std::vector<ProgressEntry> progress;
  UniformRandom startRandom;
  double startOffset = 0.0;
  // The accepted candidates since stepping began, in order: a replay rebuilds them.
  std::vector<double> acceptedX;
  // Plain rejection beside the steps: as many candidates as steps taken,
  // from a stream of its own (model/plain_beside.h).
  PlainRejection plain;
};
