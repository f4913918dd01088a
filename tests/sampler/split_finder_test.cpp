// The split finder on its own: second differences that change sign bracket
// an inflection of T(f), new evaluations narrow it to where T(f) is straight,
// rounding never makes a change, and tail probes sit at the hat's quantiles.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "sampler/split_finder.h"

namespace {

using ars::Transform;
using ars::detail::Evaluated;

struct Points {
  std::vector<double> x, h, t, err;
};

Points sample(const std::function<double(double)>& h, const std::vector<double>& xs, Transform transform) {
  Points p{xs, {}, {}, {}};
  double top = -INFINITY;
  for (double x : xs) {
    p.h.push_back(h(x));
    top = std::max(top, p.h.back());
  }
  for (double v : p.h) {
    const ars::detail::TValue tv = ars::detail::tValue(transform, v, top);
    p.t.push_back(tv.t);
    p.err.push_back(tv.err);
  }
  return p;
}

double quartic(double x) { return -x * x * x * x + 3 * x * x; }  // inflections at +-sqrt(1/2)

TEST(SplitFinder, RoundingOfAStraightTMakesNoChange) {
  // A log-density that is a line far from 0: its second differences are all
  // rounding, at spacings from 1e-9 to 1e3.
  for (double spacing : {1e-9, 1e-4, 1.0, 1e3}) {
    std::vector<double> xs;
    for (int i = 0; i < 40; ++i) xs.push_back(5 + spacing * (i + 0.37 * (i % 3)));
    for (Transform tr : {Transform::Log, Transform::InverseSqrt}) {
      const Points p = sample([](double x) { return 1e6 - 0.3 * x; }, xs, tr);
      EXPECT_FALSE(ars::detail::firstBendChange(p.x, p.t, p.err, 0, p.x.size() - 1))
          << "spacing " << spacing;
    }
  }
}

TEST(SplitFinder, FirstChangeBracketsTheInflection) {
  std::vector<double> xs;
  for (double x = -2.05; x < 2.1; x += 0.3) xs.push_back(x);
  const Points p = sample(quartic, xs, Transform::Log);
  const auto change = ars::detail::firstBendChange(p.x, p.t, p.err, 0, p.x.size() - 1);
  ASSERT_TRUE(change);
  EXPECT_EQ(ars::detail::bendSign(p.x, p.t, p.err, change->from), -1);
  EXPECT_EQ(ars::detail::bendSign(p.x, p.t, p.err, change->to), 1);
  EXPECT_LT(p.x[change->from], -std::sqrt(0.5));
  EXPECT_GT(p.x[change->to + 2], -std::sqrt(0.5));
  // Restricted to the right half, the change back to concave.
  const auto back = ars::detail::firstBendChange(p.x, p.t, p.err, change->to, p.x.size() - 1);
  ASSERT_TRUE(back);
  EXPECT_EQ(ars::detail::bendSign(p.x, p.t, p.err, back->from), 1);
  EXPECT_LT(p.x[back->from], std::sqrt(0.5));
  EXPECT_GT(p.x[back->to + 2], std::sqrt(0.5));
}

// Narrows the first change of h at xs; returns the split, its evaluations
// and whether the points (old and new) show one bend on each side of it.
struct Narrowed {
  double split;
  std::size_t evaluations;
  bool oneBendEachSide;
};
Narrowed narrow(const std::function<double(double)>& h, const std::vector<double>& xs, Transform tr) {
  const Points p = sample(h, xs, tr);
  double top = -INFINITY;
  for (double v : p.h) top = std::max(top, v);
  const auto change = ars::detail::firstBendChange(p.x, p.t, p.err, 0, p.x.size() - 1);
  EXPECT_TRUE(change);
  if (!change) return {NAN, 0, false};
  std::vector<Evaluated> added;
  const double split = ars::detail::locateSplit(tr, p.x, p.h, top, *change, h, added);
  std::vector<double> all = xs;
  for (const Evaluated& e : added) all.push_back(e.x);
  std::sort(all.begin(), all.end());
  Points q = sample(h, all, tr);
  const std::size_t at = std::find(q.x.begin(), q.x.end(), split) - q.x.begin();
  // Left of the split: no change at all; right: none before the next inflection.
  const bool left = !ars::detail::firstBendChange(q.x, q.t, q.err, 0, at);
  return {split, added.size(), left && at < q.x.size()};
}

TEST(SplitFinder, NarrowingPlacesTheSplitNearTheInflectionForFewEvaluations) {
  // Wide spacing: the bracket starts over a unit or more.
  Narrowed n = narrow(quartic, {-3, -2, -1.4, -0.3, 0.2, 0.9}, Transform::Log);
  EXPECT_NEAR(n.split, -std::sqrt(0.5), 0.2);
  EXPECT_LE(n.evaluations, 10u);
  EXPECT_TRUE(n.oneBendEachSide);
  // Two normals of unequal scales under -1/sqrt(f): the dip between them.
  const auto mixture = [](double x) {
    return std::log(0.7 * std::exp(-0.5 * x * x) + 0.3 / 0.5 * std::exp(-0.5 * (x - 4) * (x - 4) / 0.25));
  };
  n = narrow(mixture, {-1, 0, 1, 2, 3.5, 4, 4.5}, Transform::InverseSqrt);
  EXPECT_GT(n.split, 0.5);
  EXPECT_LT(n.split, 3.5);
  EXPECT_LE(n.evaluations, 12u);
  EXPECT_TRUE(n.oneBendEachSide);
}

TEST(SplitFinder, NarrowingStopsWhereTheBendIsRoundingOnly) {
  // h'' = 1e-13 x changes sign at 0 but is rounding at every spacing tried:
  // whatever the points first suggest, every call ends within its budget.
  const auto h = [](double x) { return 1e-13 * x * x * x / 6 + 2 * x; };
  std::vector<double> xs{-2, -1, -0.5, 0.5, 1, 2};
  Points p = sample(h, xs, Transform::Log);
  EXPECT_FALSE(ars::detail::firstBendChange(p.x, p.t, p.err, 0, p.x.size() - 1));
  // A real change whose bend drops into rounding as it narrows: at most the budget.
  const auto cubic = [](double x) { return 1e-3 * x * x * x + 1e3; };
  xs = {-30, -20, -10, 5, 15, 25};
  p = sample(cubic, xs, Transform::Log);
  const auto change = ars::detail::firstBendChange(p.x, p.t, p.err, 0, p.x.size() - 1);
  ASSERT_TRUE(change);
  std::vector<Evaluated> added;
  const double split = ars::detail::locateSplit(Transform::Log, p.x, p.h, 1e3, *change, cubic, added);
  EXPECT_LE(added.size(), static_cast<std::size_t>(ars::detail::kMaxNarrowing));
  EXPECT_GT(split, -20);
  EXPECT_LT(split, 15);
}

TEST(SplitFinder, TailProbesSitAtTheHatsQuantiles) {
  const std::vector<double> fractions{0.25, 1.0 / 32};
  for (Transform tr : {Transform::Log, Transform::InverseSqrt}) {
    // A left tail rising to the point 2 and a right tail falling from it.
    for (double slope : {0.5, -0.5}) {
      const ars::detail::Line hat{2, tr == Transform::Log ? -0.3 : -1.3, slope};
      const std::vector<double> at = ars::detail::tailProbes(tr, hat, 2, fractions);
      ASSERT_EQ(at.size(), 2u);
      const double inf = slope > 0 ? -INFINITY : INFINITY;
      const auto beyond = [&](double x) {
        return slope > 0 ? ars::detail::lineArea(tr, hat, inf, x) : ars::detail::lineArea(tr, hat, x, inf);
      };
      for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(at[i] < 2, slope > 0);
        EXPECT_NEAR(beyond(at[i]) / beyond(2), fractions[i], 1e-12);
      }
    }
  }
  // A flat line has no tail to probe.
  EXPECT_TRUE(ars::detail::tailProbes(Transform::Log, {0, 0, 0}, 0, fractions).empty());
}

}  // namespace
