// The library face of 1.1: the caller's generator (a Gibbs sampler with a
// fresh sampler per conditional), copies and reset against fresh samplers,
// and the inspection values against numerical integrals of the envelope.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "sampler/log_concave_sampler.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

double normal(double x) { return -0.5 * x * x; }
double beta23(double x) { return x <= 0 || x >= 1 ? -inf : std::log(x) + 2 * std::log1p(-x); }

TEST(LibraryFace, GibbsSamplerWithFreshSamplersFromOneGenerator) {
  const double rho = 0.5, sd = std::sqrt(1 - rho * rho);
  std::mt19937_64 rng(2026);
  double x = 0, y = 0, sum = 0, squares = 0, lagged = 0, previous = 0;
  const int n = 50000;
  for (int i = 0; i < n; ++i) {
    ars::LogConcaveSampler cx([&](double v) { return normal((v - rho * y) / sd); }, -inf, inf, {x});
    x = cx.sample(rng);
    ars::LogConcaveSampler cy([&](double v) { return normal((v - rho * x) / sd); }, -inf, inf, {y});
    y = cy.sample(rng);
    sum += x;
    squares += x * x;
    lagged += x * previous;
    previous = x;
  }
  const double mean = sum / n, variance = squares / n - mean * mean;
  EXPECT_NEAR(mean, 0, 0.03);
  EXPECT_NEAR(variance, 1, 0.04);
  EXPECT_NEAR((lagged / n - mean * mean) / variance, rho * rho, 0.025);
}

TEST(LibraryFace, AnyGeneratorIsAccepted) {
  ars::LogConcaveSampler s(beta23, 0, 1);
  std::mt19937 narrow(1);
  std::minstd_rand odd(2);
  std::vector<double> v(2000);
  s.sample(narrow, v.data(), v.size());
  for (double x : v) ASSERT_TRUE(x > 0 && x < 1);
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(s.sample(odd) > 0);
}

TEST(LibraryFace, CopiesAndResetDrawAsFreshSamplersWould) {
  ars::LogConcaveSampler a(beta23, 0, 1, {}, 11);
  for (int i = 0; i < 1000; ++i) a.sample();
  ars::LogConcaveSampler b(a);
  ars::LogConcaveSampler c([](double) { return 0.0; }, 0, 1);
  c = a;
  for (int i = 0; i < 5000; ++i) {
    const double x = a.sample();
    ASSERT_EQ(b.sample(), x);
    ASSERT_EQ(c.sample(), x);
  }
  EXPECT_EQ(a.counts().evaluations, b.counts().evaluations);

  // reset: the same draws as a fresh sampler from the same generator state.
  std::mt19937_64 g1(5), g2(5);
  ars::LogConcaveSampler fresh(normal, 1, inf, {2.0});
  a.reset(normal, 1, inf, {2.0});
  EXPECT_EQ(a.counts().evaluations, fresh.counts().evaluations);
  EXPECT_EQ(a.points(), fresh.points());
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(a.sample(g1), fresh.sample(g2));
}

TEST(LibraryFace, StartsInBracesActAsAVectorOfThem) {
  // {x} and {} go to the overloads that read the braces in place; a vector
  // of the same starts must search, count and draw alike, for every call.
  const auto h = [](double x) { return -0.5 * (x - 3) * (x - 3); };
  const std::vector<double> one{2.5}, none;
  ars::LogConcaveSampler braced(h, -inf, inf, {2.5}, 9), listed(h, -inf, inf, one, 9);
  ars::LogConcaveSampler bare(h, -inf, inf, {}, 9), empty(h, -inf, inf, none, 9);
  EXPECT_EQ(braced.counts().evaluations, listed.counts().evaluations);
  EXPECT_EQ(bare.counts().evaluations, empty.counts().evaluations);
  const std::vector<double> xs = braced.envelope().x;  // the start was evaluated
  EXPECT_NE(std::find(xs.begin(), xs.end(), 2.5), xs.end());
  for (int i = 0; i < 50; ++i) ASSERT_EQ(braced.sample(), listed.sample());
  std::mt19937_64 g1(4), g2(4);
  double x1 = 0.5, x2 = 0.5;
  for (int i = 0; i < 200; ++i) {
    const double m = 0.01 * i;
    const auto hi = [m](double x) { return -2 * (x - m) * (x - m); };
    if (i % 50 == 0) {
      braced.reset(hi, -inf, inf, {x1});
      listed.reset(hi, -inf, inf, std::vector<double>{x2});
    } else {
      braced.warmReset(hi, -inf, inf, {x1});
      listed.warmReset(hi, -inf, inf, std::vector<double>{x2});
    }
    ASSERT_EQ(braced.counts().evaluations, listed.counts().evaluations) << i;
    x1 = braced.sample(g1);
    x2 = listed.sample(g2);
    ASSERT_EQ(x1, x2) << i;
  }
  // A start in braces outside the support is refused as one in a vector is.
  EXPECT_THROW(braced.warmReset(h, 0, 1, {2.0}), std::invalid_argument);
}

// exp of a piecewise linear function through the vertices, integrated by
// Simpson's rule on each stretch.
double integral(const std::vector<double>& x, const std::vector<double>& y) {
  double sum = 0;
  for (std::size_t i = 0; i + 1 < x.size(); ++i) {
    const int n = 2000;
    const double w = (x[i + 1] - x[i]) / n;
    if (!(w > 0)) continue;
    for (int j = 0; j < n; ++j) {
      const auto f = [&](double t) { return std::exp(y[i] + (y[i + 1] - y[i]) * t); };
      const double t0 = static_cast<double>(j) / n, t1 = static_cast<double>(j + 1) / n;
      sum += w / 6 * (f(t0) + 4 * f(0.5 * (t0 + t1)) + f(t1));
    }
  }
  return sum;
}

TEST(LibraryFace, InspectionAgreesWithTheEnvelope) {
  for (int draws : {0, 30, 3000}) {
    ars::LogConcaveSampler s(normal, -3, 4, {}, 3);
    for (int i = 0; i < draws; ++i) s.sample();
    const ars::Envelope e = s.envelope();
    ASSERT_EQ(e.x.size(), s.points());
    const double hat = integral(e.hullX, e.hullY), squeeze = integral(e.squeezeX, e.squeezeY);
    EXPECT_NEAR(s.hatArea() / hat, 1, 1e-6);
    EXPECT_NEAR(s.squeezeArea() / squeeze, 1, 1e-6);
    EXPECT_NEAR(s.squeezeHatRatio(), squeeze / hat, 1e-6);
    EXPECT_NEAR(s.logHatArea(), std::log(hat), 1e-6);
    const double exact = std::sqrt(2 * std::acos(-1.0)) *
                         (0.5 * std::erfc(-4 / std::sqrt(2.0)) - 0.5 * std::erfc(3 / std::sqrt(2.0)));
    EXPECT_GE(s.hatArea(), exact);
    EXPECT_LE(s.squeezeArea(), exact);
    for (std::size_t i = 0; i < e.x.size(); ++i) EXPECT_EQ(e.h[i], normal(e.x[i]));
    EXPECT_EQ(e.hullX.front(), -3.0);
    EXPECT_EQ(e.hullX.back(), 4.0);
  }
  // Logarithms where the areas themselves overflow.
  ars::LogConcaveSampler huge([](double x) { return 1e4 - 0.5 * x * x; }, -inf, inf);
  EXPECT_EQ(huge.hatArea(), inf);
  EXPECT_NEAR(huge.logHatArea(), 1e4 + 0.5 * std::log(2 * std::acos(-1.0)), 2.0);
  EXPECT_LE(huge.logSqueezeArea(), huge.logHatArea());
}

TEST(LibraryFace, AdaptationControls) {
  ars::LogConcaveSampler capped(normal, -inf, inf, {}, 4);
  capped.setMaxPoints(8);
  for (int i = 0; i < 20000; ++i) capped.sample();
  EXPECT_LE(capped.points(), 8u);
  ars::LogConcaveSampler targeted(normal, -inf, inf, {}, 4);
  targeted.setTargetRatio(0.9);
  for (int i = 0; i < 20000; ++i) targeted.sample();
  EXPECT_GE(targeted.squeezeHatRatio(), 0.9);
  EXPECT_LT(targeted.points(), 25u);
  EXPECT_THROW(targeted.setTargetRatio(1.5), std::invalid_argument);
}

}  // namespace
