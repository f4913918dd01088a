// LogConcaveSampler::check(): h at hat quantiles, joined to the points. It
// catches a density outside the class in the one-draw pattern of a Gibbs
// sampler (where a fresh sampler draws once and its few points prove
// nothing), leaves the envelope as it was when it throws, and keeps draws
// exact when it passes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "sampler/log_concave_sampler.h"
#include "support/kolmogorov_smirnov.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

double cauchy(double x) { return -std::log1p(x * x); }

// One draw per fresh sampler started at the chain's state; the share of
// updates that raised ars::NotLogConcave.
double caughtShare(bool checked, int updates) {
  std::mt19937_64 g(11);
  double x = 0;
  int caught = 0;
  for (int i = 0; i < updates; ++i) {
    try {
      ars::LogConcaveSampler s(cauchy, -inf, inf, {x}, static_cast<std::uint64_t>(i));
      if (checked) s.check();
      x = s.sample();
    } catch (const ars::NotLogConcave&) {
      ++caught;
      x = std::cauchy_distribution<>()(g);
    }
  }
  return static_cast<double>(caught) / updates;
}

TEST(ClassCheck, CatchesACauchyInTheOneDrawPattern) {
  // Without the check most updates draw silently from the wrong envelope.
  EXPECT_LT(caughtShare(false, 1000), 0.8);
  EXPECT_GE(caughtShare(true, 1000), 0.99);
}

TEST(ClassCheck, NamesThreePointsAndLeavesTheEnvelopeAsItWas) {
  ars::LogConcaveSampler s(cauchy, -inf, inf, {0.0}, 5);
  ars::LogConcaveSampler before = s;
  try {
    s.check();
    FAIL() << "no report";
  } catch (const ars::NotLogConcave& e) {
    EXPECT_TRUE(e.hasPoints());
    EXPECT_NE(std::string(e.what()).find("lies below the chord"), std::string::npos) << e.what();
  }
  EXPECT_GT(s.counts().evaluations, before.counts().evaluations);
  EXPECT_EQ(s.envelope().x, before.envelope().x);
  EXPECT_EQ(s.logHatArea(), before.logHatArea());
}

// Every report of the sampler is the 1.0 type too, with its reason and points.
TEST(ClassCheck, ReportsKeepTheirReasonAndPoints) {
  try {
    ars::LogConcaveSampler s([](double x) { return x; }, 0, inf, {1.0}, 1);
    FAIL() << "no report";
  } catch (const ars::NotLogConcave& e) {
    EXPECT_EQ(e.reason(), ars::NotLogConcave::Reason::NotIntegrable) << e.what();
  }
  try {
    ars::LogConcaveSampler s([](double x) { return x * x; }, -inf, inf, {0.5}, 1);
    FAIL() << "no report";
  } catch (const ars::NotLogConcave& e) {
    EXPECT_TRUE(e.hasPoints()) << e.what();
  }
}

TEST(ClassCheck, PassesLogConcaveDensitiesAndTheirDrawsStayExact) {
  struct Case {
    double (*h)(double);
    double lower, upper, start;
    double (*cdf)(double);
  };
  const Case cases[] = {
      {[](double x) { return -0.5 * x * x; }, -inf, inf, 3.0,
       [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }},
      {[](double x) { return -x; }, 0, inf, 0.1, [](double x) { return -std::expm1(-x); }},
      {[](double x) { return x - std::exp(x); }, -inf, inf, -5.0,
       [](double x) { return -std::expm1(-std::exp(x)); }},
      {[](double) { return 0.0; }, 2, 3, 2.5, [](double x) { return x - 2; }},
  };
  for (const Case& c : cases) {
    for (std::size_t extra : {1u, 2u, 8u, 40u}) {
      for (std::uint64_t seed : {1u, 2u}) {
        ars::LogConcaveSampler s(c.h, c.lower, c.upper, {c.start}, seed);
        const std::uint64_t before = s.counts().evaluations;
        ASSERT_NO_THROW(s.check(extra)) << "start " << c.start << ", " << extra << " points";
        EXPECT_LE(s.counts().evaluations, before + extra);
        std::vector<double> x(20000);
        s.sample(x.data(), x.size());
        EXPECT_GT(ksPValue(x, c.cdf), 1e-6) << "start " << c.start << ", " << extra << " points";
      }
    }
  }
}

}  // namespace
