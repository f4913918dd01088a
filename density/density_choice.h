#pragma once
// A density the user picked beyond the built-in kinds: a formula in x, read
// as the density or as its logarithm, on a support, with the caption that
// names it in the window, the transformation T under which it is concave
// (log unless said otherwise) and the split points where T(f) changes
// between concave and convex.
#include <memory>
#include <string>
#include <vector>

#include "sampler/transformed_line.h"

class FormulaDensity;

struct DensityChoice {
  std::string caption;
  std::string formula;
  bool logDensity = false;  // false: the formula is the density itself
  double lower = 0.0;
  double upper = 1.0;
  ars::Transform transform = ars::Transform::Log;
  std::vector<double> splits = {};  // increasing, inside (lower, upper)
  // The formula as the dialog's check parsed it, so that choosing it does
  // not parse it again; used only while it matches the fields above.
  std::shared_ptr<const FormulaDensity> parsed = nullptr;
};

// Sampled by the log-concave sampler the built-in kinds share, or by the
// sampler for a transformation and split points.
inline bool plainLogConcave(const DensityChoice& c) {
  return c.transform == ars::Transform::Log && c.splits.empty();
}
