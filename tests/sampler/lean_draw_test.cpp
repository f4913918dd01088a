// The warm path's lean draw: once successive conditionals hold steady, three
// guided points and a draw from their hull alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "sampler/log_concave_sampler.h"
#include "sampler/three_point_hull.h"
#include "support/kolmogorov_smirnov.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// A conditional whose parameter drifts a little per update, as in a mixing
// Gibbs chain, with its CDF.
struct Drifting {
  const char* name;
  double lower, upper;
  std::function<double(double, double)> h;    // (x, parameter)
  std::function<double(double, double)> cdf;  // (x, parameter)
};

const Drifting families[] = {
    {"normal", -inf, inf, [](double x, double m) { return -0.5 * (x - m) * (x - m); },
     [](double x, double m) { return 0.5 * std::erfc(-(x - m) / std::sqrt(2.0)); }},
    {"gamma(3.5) by rate", 0, inf,
     [](double x, double r) { return x > 0 ? 2.5 * std::log(x) - std::exp(r) * x : -inf; },
     [](double x, double r) {
       // Regularised lower gamma P(3.5, y) by its series.
       const double y = std::exp(r) * x;
       if (!(y > 0)) return 0.0;
       double term = 1 / 3.5, sum = term;
       for (int n = 1; n < 400 && term > 1e-17 * sum; ++n) sum += term *= y / (3.5 + n);
       return std::exp(3.5 * std::log(y) - y - std::lgamma(3.5)) * sum;
     }},
    {"smallest extreme value", -inf, inf, [](double x, double m) { return (x - m) - std::exp(x - m); },
     [](double x, double m) { return -std::expm1(-std::exp(x - m)); }},
    {"normal cut at m + 1.5", -inf, inf,
     [](double x, double m) { return x < m + 1.5 ? -0.5 * (x - m) * (x - m) : -inf; },
     [](double x, double m) {
       const auto phi = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
       return std::min(phi(x - m), phi(1.5)) / phi(1.5);
     }},
};

TEST(LeanDraw, SteadyChainsDrawEveryConditionalExactly) {
  // The probability transform of each draw by its own conditional's CDF is
  // uniform, and most updates start from the three guided points alone. A
  // piece picked by the wrong area, inverted from the wrong end or at the
  // wrong rate, a squeeze bound above the chords, or thinning against the
  // wrong hull puts these far beyond the bound. The cut normal's zero lies
  // beyond the guides, where only the draw finds it.
  constexpr int updates = 20000;
  const double bound = std::sqrt(-0.5 * std::log(0.5e-6) / updates);
  for (const Drifting& f : families) {
    for (const bool checked : {false, true}) {
      std::mt19937_64 params(5), g(6);
      std::normal_distribution<> z;
      double p = 0, x = f.lower == 0 ? 3.5 : 0.0;
      const auto h = [&](double t) { return f.h(t, p); };
      ars::LogConcaveSampler s(h, f.lower, f.upper, {x});
      std::vector<double> u;
      int threePoints = 0;
      for (int i = 0; i < updates; ++i) {
        p = 0.9 * p + 0.2 * z(params);
        s.warmReset(h, f.lower, f.upper, {x});
        if (s.counts().evaluations == 3 && s.points() == 3) ++threePoints;
        if (checked) s.check();
        x = s.sample(g);
        ASSERT_TRUE(x > f.lower && x < f.upper) << f.name;
        u.push_back(f.cdf(x, p));
      }
      EXPECT_LT(ksFromUniform(u), bound) << f.name << (checked ? ", checked" : "");
      const double outer =
          static_cast<double>(std::count_if(u.begin(), u.end(), [](double v) { return v < 0.05 || v > 0.95; }));
      EXPECT_NEAR(outer / updates, 0.1, 5 * std::sqrt(0.09 / updates)) << f.name << (checked ? ", checked" : "");
      EXPECT_GT(threePoints, updates / 2) << f.name;
    }
  }
}

TEST(LeanDraw, TheThreePointHullIsInvertedPieceByPiece) {
  // Uniforms on a fine grid, mapped to candidates, follow exp(hull): their
  // empirical CDF against the hull's own (its integral by the midpoint rule,
  // from the same hull the thinning reads). The hull at each candidate is
  // that hull, above h. On the whole line and on a finite support.
  const auto h = [](double x) { return -0.5 * x * x + 0.3 * x; };
  const std::vector<std::pair<double, double>> supports = {{-inf, inf}, {-2.5, 4.0}};
  for (const auto& [lower, upper] : supports) {
    const ars::detail::HullPoint p[3] = {{-1.1, h(-1.1)}, {0.4, h(0.4)}, {1.6, h(1.6)}};
    ars::detail::ThreePointHull hull;
    ASSERT_TRUE(ars::detail::buildThreePointHull(p[0], p[1], p[2], lower, upper, hull));
    const double from = std::max(lower, -40.0), to = std::min(upper, 40.0);
    const int steps = 400000;
    const double dx = (to - from) / steps;
    std::vector<double> cumulative(steps + 1, 0.0);
    for (int i = 0; i < steps; ++i) {
      const double x = from + (i + 0.5) * dx;
      cumulative[i + 1] = cumulative[i] + std::exp(ars::detail::hullOfPointsAt(p, 3, lower, upper, x)) * dx;
    }
    const int n = 20000;
    std::vector<double> xs;
    for (int j = 0; j < n; ++j) {
      const ars::detail::HullCandidate c = ars::detail::hullCandidate(hull, (j + 0.5) / n);
      ASSERT_NEAR(c.logHull, ars::detail::hullOfPointsAt(p, 3, lower, upper, c.x), 1e-12) << c.x;
      ASSERT_GE(c.logHull, h(c.x));
      xs.push_back(c.x);
    }
    std::sort(xs.begin(), xs.end());
    double worst = 0;
    for (int j = 0; j < n; ++j) {
      const double at = (xs[j] - from) / dx;
      const int i = std::min(std::max(static_cast<int>(at), 0), steps - 1);
      const double F = (cumulative[i] + (cumulative[i + 1] - cumulative[i]) * (at - i)) / cumulative[steps];
      worst = std::max(worst, std::fabs(F - (j + 0.5) / n));
    }
    EXPECT_LT(worst, 2e-4) << "support from " << lower;
  }
  // Points whose outer secants do not fall, or that are not concave, are not drawn from so.
  ars::detail::ThreePointHull hull;
  EXPECT_FALSE(ars::detail::buildThreePointHull({-1, 0}, {0, 1}, {1, 1.5}, -inf, inf, hull));
  EXPECT_FALSE(ars::detail::buildThreePointHull({-1, 0}, {0, -1}, {1, 0}, -inf, inf, hull));
}

TEST(LeanDraw, RefinementLimitsHoldOnTheWarmPath) {
  // With refinement stopped at three points, the draw after a guided start
  // adds none; by default the evaluated candidates join the points.
  std::mt19937_64 params(1), g(2);
  std::normal_distribution<> z;
  double m = 0, x = 0;
  const auto h = [&](double t) { return -0.5 * (t - m) * (t - m); };
  ars::LogConcaveSampler capped(h, -inf, inf, {x});
  ars::LogConcaveSampler open(h, -inf, inf, {x});
  capped.setMaxPoints(3);
  std::size_t grown = 0;
  for (int i = 0; i < 2000; ++i) {
    m = 0.9 * m + 0.2 * z(params);
    capped.warmReset(h, -inf, inf, {x});
    open.warmReset(h, -inf, inf, {x});
    x = capped.sample(g);
    open.sample(g);
    ASSERT_EQ(capped.points(), 3u);
    grown += open.points() - 3;
  }
  EXPECT_GT(grown, 500u);
}

TEST(LeanDraw, AStartThatFallsShortEvaluatesNoAbscissaTwice) {
  // A steady chain whose conditional then jumps, skews or narrows: the
  // guided probes no longer settle the start, and the search goes on from
  // the values they found. Every call of h is counted once, and none
  // repeats an abscissa before the first draw.
  std::mt19937_64 params(3), g(4);
  std::normal_distribution<> z;
  double m = 0, s = 1, x = 0;
  std::vector<double> calls;
  const auto h = [&](double t) {
    calls.push_back(t);
    return -0.5 * ((t - m) / s) * ((t - m) / s);
  };
  ars::LogConcaveSampler w(h, -inf, inf, {x});
  int fellShort = 0;
  for (int i = 0; i < 3000; ++i) {
    m = 0.9 * m + 0.2 * z(params);
    s = 1;
    if (i % 50 == 49) m += 3;        // the new mode beyond a guide
    if (i % 50 == 24) s = 0.05;      // far narrower: the guides fall steeply
    calls.clear();
    w.warmReset(h, -inf, inf, {x});
    ASSERT_EQ(w.counts().evaluations, calls.size()) << i;
    ASSERT_EQ(std::set<double>(calls.begin(), calls.end()).size(), calls.size()) << i;
    if (calls.size() > 3) ++fellShort;
    x = w.sample(g);
  }
  EXPECT_GT(fellShort, 60);
}

TEST(LeanDraw, ALogDensityNoisierThanTheHullsMarginsIsStillDrawnAsItIs) {
  // Laplace far from the origin: (t - location) / scale leaves h about 5e-9
  // of noise, and h is linear on either side, so the hull of close points
  // lies below h here and there. Candidates found below h must stand (the
  // hull proposed them too seldom); turned away, they bent the draws to
  // sqrt(n) KS distances of 3 to 13 at n = 200,000.
  const double location = -3.21764e6, scale = 0.10638;
  double m = 0;
  const auto h = [&](double t) { return -std::fabs((t - location - m * scale) / scale); };
  const auto cdf = [&](double t) {
    const double z = (t - location - m * scale) / scale;
    return z < 0 ? 0.5 * std::exp(z) : 1 - 0.5 * std::exp(-z);
  };
  for (const bool warm : {false, true}) {
    const int updates = warm ? 60000 : 200000;
    std::mt19937_64 params(1), g(2);
    std::normal_distribution<> z;
    double x = location;
    std::vector<double> u;
    ars::LogConcaveSampler w(h, -inf, inf, {x});
    for (int i = 0; i < updates; ++i) {
      m = 0.9 * m + 0.2 * z(params);
      if (warm) {
        w.warmReset(h, -inf, inf, {x});
        x = w.sample(g);
      } else {
        ars::LogConcaveSampler s(h, -inf, inf, {x});
        x = s.sample(g);
      }
      u.push_back(cdf(x));
    }
    EXPECT_LT(ksFromUniform(u), std::sqrt(-0.5 * std::log(0.5e-6) / updates)) << (warm ? "warm" : "fresh");
  }
}

}  // namespace
