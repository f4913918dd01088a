// The squeeze decision from logarithms against the direct test with the
// exponential: the same outcome everywhere, at exact ties and a few units in
// the last place from them included.
#include "sampler/squeeze_decision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

bool direct(double shifted, double hull, double uniform2) {
  const double e = shifted > -50 ? std::exp(shifted) : 0.0;
  return e / hull >= uniform2;
}

double logHeightOf(double hull, double uniform2) {
  const double height = uniform2 * hull;
  return height > 0 ? std::log(height) : std::numeric_limits<double>::quiet_NaN();
}

TEST(SqueezeDecision, AgreesWithTheDirectTestNearAndFarFromTies) {
  std::mt19937_64 random(77);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::size_t cases = 0, mismatches = 0, accepted = 0;
  for (int i = 0; i < 200000; ++i) {
    const double hull = std::exp(-80 + 140 * unit(random));
    const double uniform2 = 4.6566128575e-10 + unit(random) * (1 - 1e-9);
    const double logHeight = logHeightOf(hull, uniform2);
    std::vector<double> shifts = {logHeight};
    double up = logHeight, down = logHeight;
    for (int k = 0; k < 8; ++k) {
      up = std::nextafter(up, 1e300);
      down = std::nextafter(down, -1e300);
      shifts.push_back(up);
      shifts.push_back(down);
    }
    for (double d : {1e-15, 1e-13, 1e-12, 1e-11, 1e-9, 1e-6, 0.5, 3.0}) {
      shifts.push_back(logHeight + d);
      shifts.push_back(logHeight - d);
    }
    shifts.push_back(-120 + 200 * unit(random));
    for (double shifted : shifts) {
      const bool expected = direct(shifted, hull, uniform2);
      if (squeezeHolds(shifted, hull, uniform2, logHeight) != expected) ++mismatches;
      accepted += expected;
      ++cases;
    }
  }
  EXPECT_EQ(mismatches, 0u);
  // Both outcomes are well represented.
  EXPECT_GT(accepted, cases / 4);
  EXPECT_LT(accepted, 3 * cases / 4);
}

TEST(SqueezeDecision, CutOffsOverflowAndDegenerateHulls) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double shifted, hull, uniform2;
  };
  const Case cases[] = {
      {-50.0, 1e-30, 1e-9},            // at the cut-off the squeeze is exactly 0
      {-49.999, 1e-30, 1e-9},          // just above it
      {-50.0, 0.0, 0.5},               // 0 / 0
      {-10.0, 0.0, 0.5},               // e / 0
      {-10.0, -1.0, 0.5},              // negative hull
      {nan, 1.0, 0.5},                 // squeeze value not a number
      {1.0, nan, 0.5},                 // hull not a number
      {709.8, 1e300, 0.9},             // exp overflows
      {709.7, 1e300, 0.9},             // just below overflow
      {-45.0, 1e-300, 1e-10},          // product below the smallest normal
      {10.0, inf, 0.5},                // infinite hull
      {-49.0, 1e-308, 1e-9},           // subnormal product
      {std::log(0.25), 0.5, 0.5},      // an exact tie in the reals
  };
  for (const Case& c : cases) {
    EXPECT_EQ(squeezeHolds(c.shifted, c.hull, c.uniform2, logHeightOf(c.hull, c.uniform2)),
              direct(c.shifted, c.hull, c.uniform2))
        << c.shifted << " " << c.hull << " " << c.uniform2;
  }
}

}  // namespace
