// Evaluations of h that a fresh sampler without a start spends up to its
// first draw (the search and the draw), as a median over seeds: the count a
// Gibbs user pays on every update.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "sampler/log_concave_sampler.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

std::uint64_t medianFirstDrawCost(double mode, double scale) {
  std::vector<std::uint64_t> counts;
  for (std::uint64_t seed = 0; seed < 50; ++seed) {
    ars::LogConcaveSampler s(
        [=](double x) {
          const double z = (x - mode) / scale;
          return -0.5 * z * z;
        },
        -inf, inf, {}, seed);
    s.sample();
    counts.push_back(s.counts().evaluations);
  }
  std::nth_element(counts.begin(), counts.begin() + 25, counts.end());
  return counts[25];
}

// The parabola through the first three probes places a normal exactly; once
// a point lies a spread beyond its mode, the next goes to the mode (which
// brackets it) rather than a step out, far down the other side.
TEST(FirstDrawCost, ANormalAwayFromZeroWithoutAStart) {
  EXPECT_LE(medianFirstDrawCost(5, 0.1), 7u);
  EXPECT_LE(medianFirstDrawCost(-3, 0.1), 7u);
  EXPECT_LE(medianFirstDrawCost(5, 0.01), 8u);
  EXPECT_LE(medianFirstDrawCost(5, 1), 6u);
  EXPECT_LE(medianFirstDrawCost(0, 1), 4u);
}

}  // namespace
