#pragma once
// A density beyond the six built-in kinds: chosen in the dialog, from the
// catalogue or from a lesson, and sampled with the library's sound settings.
#include <string>

#include "density/density_choice.h"
#include "model/lesson.h"
#include "sampler/not_log_concave.h"

struct WindowModel;

// Makes the choice the density shown; returns why it cannot be used ("" when it is).
std::string selectOtherDensity(WindowModel& model, const DensityChoice& choice);

// The density shown proved not log-concave on the way (a throw or a step):
// the refusal and its proof are recorded, every later start refuses at once,
// and the plot narrows to where the density shows, with the proof in view.
void refuseOtherDensity(WindowModel& model, const ars::NotLogConcave& report);
