// What TConcaveSampler shares with LogConcaveSampler: streams of its own
// without a seed, seed(), the support's limits, counts, the envelope for
// plotting, copies, and the warm path of a Gibbs sampler.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "sampler/t_concave_sampler.h"
#include "support/kolmogorov_smirnov.h"
#include "support/student_t_cdf.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<double> draws(ars::TConcaveSampler& s, int n) {
  std::vector<double> out(n);
  for (double& x : out) x = s.sample();
  return out;
}

TEST(TConcaveParity, UnseededSamplersDrawStreamsOfTheirOwnAndSeedsRepeat) {
  for (ars::Transform t : {ars::Transform::InverseSqrt, ars::Transform::Log}) {
    const auto h = [](double x) { return -0.5 * x * x; };
    ars::TConcaveSampler a(h, -kInf, kInf, t), b(h, -kInf, kInf, t);
    EXPECT_NE(draws(a, 5), draws(b, 5));
    ars::TConcaveSampler seeded(h, -kInf, kInf, t, {}, {}, 42);
    const std::vector<double> first = draws(seeded, 20);
    ars::TConcaveSampler copy = a;
    a.seed(42);
    copy.seed(42);
    EXPECT_EQ(draws(a, 20), draws(copy, 20));
    seeded.seed(42);
    ars::TConcaveSampler again(h, -kInf, kInf, t, {}, {}, 42);
    EXPECT_EQ(draws(again, 20), first);
    seeded.seed();
    again.seed();
    EXPECT_NE(draws(seeded, 5), draws(again, 5));
  }
}

TEST(TConcaveParity, LimitsCountsAndCopies) {
  ars::TConcaveSampler half([](double x) { return -std::log1p(x * x); }, 0, kInf);
  EXPECT_EQ(half.min(), 0);
  EXPECT_EQ(half.max(), kInf);
  ars::TConcaveSampler cut([](double x) { return x > 2 ? -kInf : -0.5 * x * x; }, -kInf, 10,
                           ars::Transform::Log);
  cut.sample();
  EXPECT_LE(cut.max(), 10);
  EXPECT_EQ(cut.max(), cut.upperLimit());

  for (ars::Transform t : {ars::Transform::InverseSqrt, ars::Transform::Log}) {
    std::vector<double> splits;
    if (t == ars::Transform::Log) splits = {-1, 1};  // the class's own path under log
    ars::TConcaveSampler s([](double x) { return -0.5 * x * x; }, -kInf, kInf, t, splits, {}, 3);
    std::mt19937_64 g(1);
    for (int i = 0; i < 2000; ++i) s(g);
    const ars::SamplerCounts& c = s.counts();
    EXPECT_EQ(c.draws, c.squeezeAccepts + c.densityAccepts + c.rejections);
    EXPECT_GE(c.draws, 2000u);
    EXPECT_EQ(c.squeezeAccepts + c.densityAccepts, 2000u);
    EXPECT_EQ(c.evaluations, s.evaluations());
    EXPECT_GT(c.squeezeAccepts, 1800u);

    // A copy continues with the same envelope and the same stream.
    ars::TConcaveSampler copy = s;
    EXPECT_EQ(draws(copy, 50), draws(s, 50));
    ars::TConcaveSampler assigned([](double x) { return -x * x; }, -1, 1);
    assigned = s;
    EXPECT_EQ(draws(assigned, 50), draws(s, 50));

    s.reset([](double x) { return -std::fabs(x); }, -kInf, kInf, splits);
    EXPECT_EQ(s.counts().draws, 0u);
    EXPECT_EQ(s.counts().evaluations, s.evaluations());
  }
}

// Hat above h and squeeze below it at every vertex, the hat from limit to
// limit, on both paths.
TEST(TConcaveParity, EnvelopeBoundsTheLogDensityInItsUnits) {
  const auto t3 = [](double x) { return 1e3 - 2 * std::log1p(x * x / 3); };
  for (ars::Transform t : {ars::Transform::InverseSqrt, ars::Transform::Log}) {
    const auto h = t == ars::Transform::Log ? std::function<double(double)>([](double x) { return 5 - x * x; })
                                            : std::function<double(double)>(t3);
    ars::TConcaveSampler s(h, -kInf, kInf, t, {}, {}, 9);
    draws(s, 200);
    const ars::Envelope e = s.envelope();
    ASSERT_EQ(e.x, s.evaluatedPoints());
    ASSERT_GE(e.hullX.size(), e.x.size());
    EXPECT_EQ(e.hullX.front(), -kInf);
    EXPECT_EQ(e.hullX.back(), kInf);
    for (std::size_t i = 0; i < e.hullX.size(); ++i) {
      if (i > 0) {
        EXPECT_LE(e.hullX[i - 1], e.hullX[i]);
      }
      if (std::isfinite(e.hullX[i])) {
        EXPECT_GE(e.hullY[i], h(e.hullX[i]) - 1e-9) << e.hullX[i];
      }
    }
    ASSERT_FALSE(e.squeezeX.empty());
    EXPECT_EQ(e.squeezeX.front(), e.x.front());
    EXPECT_EQ(e.squeezeX.back(), e.x.back());
    for (std::size_t i = 0; i < e.squeezeX.size(); ++i) EXPECT_LE(e.squeezeY[i], h(e.squeezeX[i]) + 1e-9);
  }
}

// One draw per conditional, each a Student t (nu = 3) at another location
// and scale, through warmReset started at the chain's state: exact, so the
// standardised draws are t-distributed; and the learned scale saves
// evaluations against fresh samplers when the scale is far from 1.
TEST(TConcaveParity, WarmResetChainOnMovingConditionalsIsExact) {
  const double nu = 3;
  const auto at = [](int k, double& mu, double& sd) {
    mu = 1e-3 * std::sin(k * 0.01);
    sd = 1e-4 * std::exp(0.5 * std::sin(k * 0.037));
  };
  for (std::uint64_t seed : {1u, 2u}) {
    std::mt19937_64 g(seed);
    double mu, sd, x = 0;
    at(0, mu, sd);
    ars::TConcaveSampler warm([&](double y) { return -2 * std::log1p((y - mu) * (y - mu) / (sd * sd * nu)); },
                              -kInf, kInf);
    const int n = 100000;
    std::vector<double> z(n);
    std::uint64_t warmEvaluations = 0, coldEvaluations = 0;
    for (int k = 0; k < n; ++k) {
      at(k, mu, sd);
      const auto h = [mu, sd, nu](double y) { return -0.5 * (nu + 1) * std::log1p((y - mu) * (y - mu) / (sd * sd * nu)); };
      if (k < 2000) {
        ars::TConcaveSampler cold(h, -kInf, kInf, ars::Transform::InverseSqrt, {}, {x});
        cold(g);
        coldEvaluations += cold.evaluations();
      }
      warm.warmReset(h, -kInf, kInf, {}, {x});
      x = warm(g);
      if (k < 2000) warmEvaluations += warm.evaluations();
      z[k] = (x - mu) / sd;
    }
    EXPECT_GE(ksPValue(z, [nu](double v) { return studentTCdf(v, nu); }), 1e-6) << seed;
    EXPECT_LT(warmEvaluations, coldEvaluations) << seed;
  }
}

}  // namespace
