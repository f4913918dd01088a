// The envelope's shortcuts against their plain definitions: the squeeze
// share summed only as far as needed, the series bound of the squeeze test,
// and the choice of a piece with and without the guide table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "sampler/hull_envelope.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

using ars::detail::HullEnvelope;
using ars::detail::HullPoint;

HullEnvelope normalEnvelope(const std::vector<double>& xs) {
  std::vector<HullPoint> points;
  for (double x : xs) points.push_back({x, -0.5 * x * x});
  HullEnvelope e;
  e.build(points, -inf, inf);
  return e;
}

TEST(HullEnvelope, ShortcutsAgreeWithTheirDefinitions) {
  std::vector<double> many;
  for (int i = -20; i <= 20; ++i) many.push_back(0.2 * i + 0.01 * (i % 3));
  const std::vector<std::vector<double>> sets = {
      {-1.2, 0.1, 1.1}, {-3, -0.4, 0.2, 2.5}, {-0.3, -0.25, 4}, {-8, -7.9, 0.5, 0.6, 9}, many};
  for (const auto& xs : sets) {
    const HullEnvelope e = normalEnvelope(xs);
    const double ratio = e.ratio();
    for (double share : {0.01, 0.05, 0.2, 0.5, 0.9, 0.999}) {
      EXPECT_EQ(e.squeezeHolds(share), ratio >= share) << xs.size() << " points, share " << share;
    }
    for (const auto& s : e.segments()) {
      if (!(s.gap0 > -inf)) continue;
      const double gap = std::min({s.gap0, s.gap0 + s.gapSlope * s.width, 0.0});
      EXPECT_LE(s.acceptBound, std::exp(gap));
      if (gap >= -0.1) {
        EXPECT_GE(s.acceptBound, std::exp(gap) - 1e-5);
      }
    }
    // The first piece whose area ends beyond t.
    for (int i = 0; i < 1000; ++i) {
      const double t = e.total() * i / 1000.0;
      std::size_t expected = 0;
      while (expected + 1 < e.segments().size() && !(e.areaBefore(expected + 1) > t)) ++expected;
      ASSERT_EQ(e.choose(t), expected) << xs.size() << " points, t " << t;
    }
  }
}

TEST(HullEnvelope, TheHullNowIsARebuildsAndMovesNoBuiltPiece) {
  // Draws that refine without a rebuild read the hull of the points as they
  // are now, while holding a built piece: copies (which keep no spare room)
  // as well as the envelopes built in place.
  for (const std::vector<double>& xs : {std::vector<double>{-1.2, 0.1, 1.1}, {-3, -0.4, 0.2, 2.5}}) {
    const HullEnvelope built = normalEnvelope(xs);
    for (int copy = 0; copy < 2; ++copy) {
      HullEnvelope e = built;
      if (copy == 0) e = normalEnvelope(xs);
      ASSERT_TRUE(e.add(0.7, -0.5 * 0.7 * 0.7));
      ASSERT_TRUE(e.add(-2, -2.0));
      HullEnvelope rebuilt = e;
      rebuilt.refresh();
      const auto* first = &e.segments()[0];
      for (double x = -5; x <= 5; x += 0.05) {
        EXPECT_EQ(e.hullNow(x), rebuilt.hullAt(x)) << "x = " << x << (copy ? ", copy" : "");
        ASSERT_EQ(&e.segments()[0], first);
      }
      EXPECT_TRUE(e.dirty());
    }
  }
}

}  // namespace
