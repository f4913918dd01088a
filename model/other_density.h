#pragma once
// A density beyond the six built-in kinds: chosen in the dialog, from the
// catalogue or from a lesson, and sampled with the library's sound settings.
#include <string>

#include "density/density_choice.h"
#include "model/lesson.h"

struct WindowModel;

// Makes the choice the density shown; returns why it cannot be used ("" when it is).
std::string selectOtherDensity(WindowModel& model, const DensityChoice& choice);
