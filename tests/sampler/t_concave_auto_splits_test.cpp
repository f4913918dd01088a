// Split points found from the evaluations: densities whose T(f) turns
// between concave and convex sample exactly with no splits given, both
// from one sampler and one draw per fresh sampler; a mode no evaluation
// comes near is missed unless a scan covers it; what cannot be sampled is
// still reported.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "sampler/t_concave_sampler.h"
#include "support/kolmogorov_smirnov.h"
#include "support/t_concave_cases.h"

#ifndef ARS_GIBBS_DRAWS
#define ARS_GIBBS_DRAWS 200000
#endif

namespace {

const double kInf = std::numeric_limits<double>::infinity();
constexpr auto kAuto = ars::Splits::Automatic;

TEST(AutomaticSplits, ManyDrawsMatchTheDistribution) {
  for (const TConcaveCase& c : automaticSplitCases()) {
    for (std::uint64_t seed : {1u, 2u}) {
      ars::TConcaveSampler s(c.logpdf, c.lower, c.upper, c.transform, kAuto, {}, seed);
      std::vector<double> xs(200000);
      for (double& x : xs) x = s.sample();
      EXPECT_GE(ksPValue(xs, c.cdf), 1e-6) << c.name << " seed " << seed;
      EXPECT_FALSE(s.splits().empty()) << c.name;
      EXPECT_LT(s.evaluations(), 1000u) << c.name;
    }
  }
}

// The Gibbs pattern: one draw per fresh sampler, started at the previous draw.
TEST(AutomaticSplits, OneDrawPerFreshSamplerMatchesTheDistribution) {
  for (const TConcaveCase& c : automaticSplitCases()) {
    for (std::uint64_t seed : {7u, 8u}) {
      std::mt19937_64 g(seed);
      double x = 0.1;
      std::vector<double> xs(ARS_GIBBS_DRAWS);
      for (double& out : xs) {
        ars::TConcaveSampler s(c.logpdf, c.lower, c.upper, c.transform, kAuto, {x});
        out = x = s(g);
      }
      EXPECT_GE(ksPValue(xs, c.cdf), 1e-6) << c.name << " seed " << seed;
    }
  }
}

TEST(AutomaticSplits, NoSplitWhereTIsConcaveOrStraightInRounding) {
  // Log-concave, far from 0 (h in the millions: rounding of 1e-10 in each
  // value), and an exponential, whose log is a straight line.
  const auto far = [](double x) { return 1e6 - 0.5 * (x - 1e6) * (x - 1e6); };
  ars::TConcaveSampler normal(far, -kInf, kInf, ars::Transform::Log, kAuto, {1e6 + 0.3}, 3);
  const auto line = [](double x) { return -x; };
  ars::TConcaveSampler exponential(line, 0, kInf, ars::Transform::Log, kAuto, {}, 4);
  for (int i = 0; i < 20000; ++i) {
    normal.sample();
    exponential.sample();
  }
  EXPECT_TRUE(normal.splits().empty());
  EXPECT_TRUE(exponential.splits().empty());
}

TEST(AutomaticSplits, AModeNoEvaluationComesNearIsFoundOnlyByAScan) {
  // A bump 12 widths away is within the first probes' reach; one 100 away is not.
  const Mixture near{{{0.99, 0, 1}, {0.01, 12, 1}}};
  ars::TConcaveSampler probed([=](double x) { return near.logpdf(x); }, -kInf, kInf, ars::Transform::Log,
                              kAuto, {}, 5);
  std::vector<double> xs(200000);
  for (double& x : xs) x = probed.sample();
  EXPECT_GE(ksPValue(xs, [=](double x) { return near.cdf(x); }), 1e-6);

  const Mixture far{{{0.99, 0, 1}, {0.01, 100, 1}}};
  const auto h = [=](double x) { return far.logpdf(x); };
  ars::TConcaveSampler blind(h, -kInf, kInf, ars::Transform::Log, kAuto, {}, 5);
  ars::TConcaveSampler scanned(h, -kInf, kInf, ars::Transform::Log, kAuto, {}, 5);
  const std::size_t before = scanned.evaluations();
  scanned.setScan(-120, 120, 121);
  EXPECT_GE(scanned.evaluations(), before + 121);
  std::size_t beyond = 0;
  for (int i = 0; i < 200000; ++i) beyond += blind.sample() > 6;
  EXPECT_EQ(beyond, 0u);  // the limit: 0.01 of the mass never seen
  for (double& x : xs) x = scanned.sample();
  EXPECT_GE(ksPValue(xs, [=](double x) { return far.cdf(x); }), 1e-6);
  // The scan stays for the next density: a reset sees the far mode at once.
  scanned.reset(h, -kInf, kInf, kAuto, {0.5});
  EXPECT_GE(scanned.splits().size(), 2u);
}

TEST(AutomaticSplits, BadUseAndDensitiesOutsideTheClassAreReported) {
  const auto normal = [](double x) { return -0.5 * x * x; };
  // `{}` in the place of the split points is no split points, not automatic ones.
  ars::TConcaveSampler given(normal, -kInf, kInf, ars::Transform::InverseSqrt, {}, {}, 1);
  EXPECT_FALSE(given.automaticSplits());
  EXPECT_THROW(given.setScan(-1, 1, 5), std::logic_error);
  ars::TConcaveSampler s(normal, -kInf, kInf, ars::Transform::Log, kAuto, {}, 1);
  EXPECT_THROW(s.setScan(1, -1, 5), std::invalid_argument);
  EXPECT_THROW(s.setScan(-1, kInf, 5), std::invalid_argument);
  EXPECT_THROW(s.setScan(-1, 1, 1), std::invalid_argument);
  // A scan whose build fails (h is NaN beyond 50) leaves the sampler as it was.
  const auto broken = [](double x) { return x > 50 ? std::nan("") : -0.5 * x * x; };
  ars::TConcaveSampler b(broken, -kInf, kInf, ars::Transform::Log, kAuto, {}, 1);
  ars::TConcaveSampler copy = b;
  EXPECT_THROW(b.setScan(40, 60, 5), std::invalid_argument);
  EXPECT_EQ(b.evaluatedPoints(), copy.evaluatedPoints());
  for (int i = 0; i < 100; ++i) EXPECT_EQ(b.sample(), copy.sample());
  // The Cauchy's log is convex in both tails: no split makes it sampleable
  // under log, and the report says so within a bounded number of evaluations.
  const auto cauchy = [](double x) { return -std::log1p(x * x); };
  try {
    ars::TConcaveSampler c(cauchy, -kInf, kInf, ars::Transform::Log, kAuto, {}, 1);
    for (int i = 0; i < 100000; ++i) c.sample();
    ADD_FAILURE() << "the Cauchy under log was not reported";
  } catch (const ars::NotLogConcave& e) {
    EXPECT_NE(std::string(e.what()).find("convex"), std::string::npos) << e.what();
  }
}

// A reset that throws keeps what the automatic mode had: whether splits are
// found, those found, the scan, and the probes still owed, so that the
// draws after it are a copy's; a given-splits sampler stays one.
TEST(AutomaticSplits, FailedResetKeepsTheAutomaticState) {
  const Mixture far{{{0.99, 0, 1}, {0.01, 12, 1}}};
  const auto h = [=](double x) { return far.logpdf(x); };
  const auto nanBeyondHalf = [](double x) { return x > 0.5 ? std::nan("") : -x * x; };
  const auto convex = [](double x) { return x * x; };
  ars::TConcaveSampler s(h, -kInf, kInf, ars::Transform::Log, kAuto, {}, 5);
  s.setScan(-20, 20, 41);
  const ars::TConcaveSampler before = s;
  EXPECT_THROW(s.reset(nanBeyondHalf, -kInf, kInf, {-1.0, 1.0}, {0.25}), std::invalid_argument);
  EXPECT_THROW(s.reset(nanBeyondHalf, -kInf, kInf, kAuto, {0.25}), std::invalid_argument);
  EXPECT_ANY_THROW(s.warmReset(convex, -kInf, kInf, {-1.0, 1.0}, {0.5}));
  EXPECT_THROW(s.warmReset(nanBeyondHalf, -kInf, kInf, kAuto, {0.25}), std::invalid_argument);
  EXPECT_TRUE(s.automaticSplits());
  EXPECT_EQ(s.splits(), before.splits());
  EXPECT_EQ(s.evaluatedPoints(), before.evaluatedPoints());
  ars::TConcaveSampler copy = before;
  std::mt19937_64 g1(3), g2(3);
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(s(g1), copy(g2)) << i;
  // The scan still serves the next density.
  s.reset(h, -kInf, kInf, kAuto, {0.5});
  EXPECT_GE(s.splits().size(), 2u);

  ars::TConcaveSampler given(h, -kInf, kInf, ars::Transform::Log, {-1.0, 1.0}, {}, 6);
  EXPECT_THROW(given.reset(nanBeyondHalf, -kInf, kInf, kAuto, {0.25}), std::invalid_argument);
  EXPECT_FALSE(given.automaticSplits());
  EXPECT_THROW(given.setScan(-1, 1, 5), std::logic_error);
}

// Two modes 120 apart under -1/sqrt(f), where f between them is some
// e^-1800 of the top (T(f) overflows there): a scan finds both, and the
// valley is no proof against them.
TEST(AutomaticSplits, ModesAcrossADeepValleyAreBothSampled) {
  const Mixture apart{{{0.5, -60, 1}, {0.5, 60, 1}}};
  const auto h = [=](double x) { return apart.logpdf(x); };
  ars::TConcaveSampler s(h, -kInf, kInf, ars::Transform::InverseSqrt, kAuto, {}, 2);
  s.setScan(-80, 80, 9);
  std::vector<double> xs(100000);
  for (double& x : xs) x = s.sample();
  EXPECT_GE(ksPValue(xs, [=](double x) { return apart.cdf(x); }), 1e-6);
}

}  // namespace
