// The scale of the eight-schools model under a half-Cauchy(0, 5) prior: its
// conditional is T-concave under -1/sqrt(f) but starts from a state far in
// its left tail, where f is some e^-1400 of the top, now and then. A chain
// of updates through fresh samplers and through the warm path never refuses.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <random>

#include "sampler/t_concave_sampler.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

ars::TConcaveSampler::LogDensity scaleConditional(double s) {
  return [s](double t) { return -8 * std::log(t) - s / (2 * t * t) - std::log1p(t * t / 25); };
}

// A generator state that once met a secant so steep it overflowed.
TEST(TConcaveHalfCauchy, TheStateThatMetAnOverflowingSecantDraws) {
  std::ifstream in(ARS_T_CONCAVE_FIXTURES "/t_concave_half_cauchy_state.txt");
  ASSERT_TRUE(in);
  double s = 0, start = 0;
  std::mt19937_64 g;
  in >> s >> start >> g;
  ASSERT_TRUE(in);
  ars::TConcaveSampler sampler(scaleConditional(s), 0, kInf, ars::Transform::InverseSqrt, {}, {start});
  const double x = sampler(g);
  EXPECT_GT(x, 0);
  EXPECT_LT(sampler.evaluations(), 40u);
}

// Gibbs on the eight schools: theta_j, mu (flat prior) and tau in turn.
TEST(TConcaveHalfCauchy, EightSchoolsChainNeverRefuses) {
  const std::array<double, 8> y{28, 8, -3, 7, -1, 1, 18, 12}, sigma{15, 10, 16, 11, 9, 11, 10, 18};
  for (bool warm : {false, true}) {
    std::mt19937_64 g(warm ? 2 : 1);
    std::normal_distribution<double> z;
    std::array<double, 8> theta = y;
    double mu = 8, tau = 5;
    ars::TConcaveSampler kept(scaleConditional(1), 0, kInf);
    for (int update = 0; update < 200000; ++update) {
      double s = 0;
      for (std::size_t j = 0; j < 8; ++j) {
        const double precision = 1 / (sigma[j] * sigma[j]) + 1 / (tau * tau);
        const double mean = (y[j] / (sigma[j] * sigma[j]) + mu / (tau * tau)) / precision;
        theta[j] = mean + z(g) / std::sqrt(precision);
      }
      double sum = 0;
      for (double t : theta) sum += t;
      mu = sum / 8 + z(g) * tau / std::sqrt(8.0);
      for (double t : theta) s += (t - mu) * (t - mu);
      if (warm) {
        kept.warmReset(scaleConditional(s), 0, kInf, {}, {tau});
        tau = kept(g);
      } else {
        ars::TConcaveSampler fresh(scaleConditional(s), 0, kInf, ars::Transform::InverseSqrt, {}, {tau});
        tau = fresh(g);
      }
      ASSERT_GT(tau, 0) << update;
    }
  }
}

}  // namespace
