#pragma once
// The Other density dialog's fields as the page sends them, checked by the
// core's checks (studio/density_check.h) on every keystroke: the page shows
// the problem under the fields and enables OK only when there is none.
#include <string>
#include <vector>

#include "density/density_choice.h"

struct DensityForm {
  int source = 0;  // 0: the formula; k: the catalogue's k-th entry
  std::string formula;
  bool logDensity = false;
  std::string lower = "-inf";
  std::string upper = "inf";
  bool inverseSqrt = false;
  std::string splits;
  std::vector<std::string> parameters;  // the catalogue entry's, in order
};

struct DensityFormCheck {
  std::string problem;  // empty: `choice` is a density the window can sample
  std::string note;     // how a catalogue entry is sampled
  DensityChoice choice;  // carries its parsed formula when there is no problem
};

DensityFormCheck checkDensityForm(const DensityForm& form);
// The fields showing `choice`, as the dialog opens on it; a choice without a
// formula opens on exp(-x^2/2) over the whole line.
DensityForm densityFormOf(const DensityChoice& choice);
