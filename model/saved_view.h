#pragma once
// The part of the model that a saved view keeps: the density shown and how
// it is viewed. The rest is rebuilt from it (the curve) or starts afresh
// (sampler, darts, stepping display).
#include <cstdint>
#include <string>

#include "density/density_choice.h"
#include "model/view_options.h"

struct WindowModel;

struct SavedView {
  std::int32_t densityKind = 1;  // a built-in kind, or otherDensityKind
  DensityChoice otherChoice;     // the typed density, caption included
  ViewOptions view;
};

SavedView savedView(const WindowModel& model);
// Returns why the saved typed density cannot be used ("" when restored); the
// model is left as it was then.
std::string restoreView(WindowModel& model, const SavedView& saved);
