#pragma once
// The numbers that decided the last candidate, as the sampler had them:
// read from the envelope the candidate was drawn under and the point it
// left, never recomputed from a newer envelope.
#include <optional>

#include "model/stepping_state.h"

struct WindowModel;

// Log values in the units of h (the sampler's log density). NaN where the
// step had no such number: no squeeze on an outer piece, no h(x) where x
// was not evaluated.
struct StepDecision {
  double x = 0.0;
  double dart = 0.0;  // log(u * hull): the candidate's height under the hull
  double hull = 0.0;
  double squeeze = 0.0;
  double logDensity = 0.0;
  StepResult result = StepResult::None;
  // Rejected without evaluating: x lay outside the limits of the envelope.
  bool outsideLimits = false;
};

// None before the first step of the stepping display.
std::optional<StepDecision> lastDecision(const WindowModel& model);
