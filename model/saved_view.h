#pragma once
// The part of the model that a saved view keeps: the density shown, how it
// is viewed, the random source's seed, the darts a throw draws and the step
// the stepping display was at. The rest is rebuilt from it: the curve, and
// the stepping display by replay from the seed.
#include <cstdint>
#include <string>

#include "density/density_choice.h"
#include "model/view_options.h"
#include "model/window_model.h"

class Reports;

struct SavedView {
  static constexpr int notStepping = -1;

  std::int32_t densityKind = 1;  // a built-in kind, or otherDensityKind
  DensityChoice otherChoice;     // the typed density, caption included
  ViewOptions view;
  // Where the random source starts (Restart from seed goes back to it).
  std::int32_t seed = fixedSeed;
  std::int32_t darts = 5000;
  // Steps taken since Start stepping, or notStepping.
  int steps = notStepping;
};

SavedView savedView(const WindowModel& model);
// Returns why the saved typed density cannot be used ("" when restored); the
// model is left as it was then. The stepping display is replayed from the
// seed; what the replay meets goes to `reports` as the steps would.
std::string restoreView(WindowModel& model, const SavedView& saved, Reports& reports);
