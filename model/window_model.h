#pragma once
// Everything the window shows, in one place: the density, the curve, the
// sampler with its random source, the darts, the stepping display and the
// view options. Commands (sampler_commands.h, other_density.h,
// plain_comparison.h, saved_view.h) change it; the picture and the status
// line are drawn from it read-only.
#include <optional>

#include "model/curve_state.h"
#include "model/darts_state.h"
#include "model/density_state.h"
#include "model/stepping_state.h"
#include "model/view_options.h"
#include "sampler/ars.h"
#include "sampler/uniform_random.h"

// Every window starts the same sequence, so the same commands give the same pictures.
constexpr int fixedSeed = 1001;

struct WindowModel {
  WindowModel();
  // Not copied: the sampler draws from this model's own random source.
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  DensityState density;
  ViewOptions view;
  CurveState curve;
  DartsState darts;
  SteppingState stepping;
  UniformRandom rnd;
  // The built-in kinds' bit-exact sampler.
  ARSSampler sampler;
  // A typed density's sampler, on the library's path; empty for the built-in kinds.
  std::optional<EnvelopeStepper> typed;
};
