#pragma once
// The warm path's three points, once successive conditionals of a Gibbs
// sampler have held steady: two guides a spread either side of where the
// last mode lay, and a third where the chord between them and the learned
// scale place the new mode. Used only when the three settle the start
// outright (they bracket the mode with tails that fall, nothing flat or far
// below); anything else goes to the full search, which then also reports
// what is wrong.
#include <cstddef>
#include <functional>

#include "sampler/hull_geometry.h"

namespace ars::detail {

struct GuidedStart {
  HullPoint point[3];  // ascending, when found
  bool found = false;
  // Evaluated either way, in the order the search would evaluate them, so
  // that it can take them over when the three fall short.
  HullPoint evaluated[3];
  std::size_t evaluations = 0;
};

// guides g0 < g1; unit: the distance of a spread, as the search's unitHint.
// h may throw, and NaN or +infinity throws as in the search.
GuidedStart guidedStart(const std::function<double(double)>& h, double lower, double upper, double g0,
                        double g1, double unit);

}  // namespace ars::detail
