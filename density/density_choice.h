#pragma once
// A density the user picked beyond the built-in kinds: a formula in x, read
// as the density or as its logarithm, on a support, with the caption that
// names it in the window.
#include <string>

struct DensityChoice {
  std::string caption;
  std::string formula;
  bool logDensity = false;  // false: the formula is the density itself
  double lower = 0.0;
  double upper = 1.0;
};
