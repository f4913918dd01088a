// check(): points spread over the hat's mass catch a density outside the
// class in the one-draw pattern of a Gibbs sampler (one draw per fresh
// sampler, started at the chain's state), and never refuse one inside it.
// Once points prove a density outside the class, draws raise.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "sampler/t_concave_sampler.h"
#include "support/t_concave_cases.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Updates out of n that raise ars::NotLogConcave, each from a start drawn
// from the true distribution (a chain in its stationary state).
template <class Start>
int caught(const ars::TConcaveSampler::LogDensity& h, ars::Transform t, Start start, int n, bool check,
           const std::vector<double>& splits = {}) {
  std::mt19937_64 g(12);
  int reports = 0;
  for (int k = 0; k < n; ++k) {
    const double x0 = start(g);
    try {
      ars::TConcaveSampler s(h, -kInf, kInf, t, splits, {x0});
      if (check) s.check();
      s(g);
    } catch (const ars::NotLogConcave&) {
      ++reports;
    }
  }
  return reports;
}

TEST(TConcaveCheck, CatchesDensitiesOutsideTheClassInTheOneDrawPattern) {
  const int n = 2000;
  // Student t with nu = 0.5 under -1/sqrt(f): about 60 % are caught by the draw alone.
  const auto t05 = [](double x) { return -0.75 * std::log1p(2 * x * x); };
  std::student_t_distribution<double> st(0.5);
  const auto fromT05 = [&](std::mt19937_64& g) { return st(g); };
  EXPECT_LT(caught(t05, ars::Transform::InverseSqrt, fromT05, n, false), n * 3 / 4);
  EXPECT_EQ(caught(t05, ars::Transform::InverseSqrt, fromT05, n, true), n);
  // The Cauchy under log, on the log-concave path.
  const auto cauchy = [](double x) { return -std::log1p(x * x); };
  std::cauchy_distribution<double> c;
  const auto fromCauchy = [&](std::mt19937_64& g) { return c(g); };
  EXPECT_GE(caught(cauchy, ars::Transform::Log, fromCauchy, n, true), n * 99 / 100);
  // Normals at -3 and 3 cut at -2 and 2: log f on [-2, 2] is convex in the
  // middle and concave beyond the inflections at +-0.59, a piece of little
  // mass that the draw alone rarely probes.
  const Mixture twins{{{0.5, -3, 1}, {0.5, 3, 1}}};
  const auto mixture = [&](double x) { return twins.logpdf(x); };
  std::normal_distribution<double> z;
  std::bernoulli_distribution side(0.5);
  const auto fromTwins = [&](std::mt19937_64& g) { return (side(g) ? 3 : -3) + z(g); };
  EXPECT_LT(caught(mixture, ars::Transform::Log, fromTwins, n, false, {-2, 2}), n / 4);
  EXPECT_EQ(caught(mixture, ars::Transform::Log, fromTwins, n, true, {-2, 2}), n);
}

TEST(TConcaveCheck, NeverRefusesADensityInsideTheClass) {
  std::vector<TConcaveCase> all = heavyTailCases();
  for (TConcaveCase& c : pieceCases()) all.push_back(std::move(c));
  for (const TConcaveCase& c : all) {
    std::mt19937_64 g(4);
    double x = c.lower == 0 ? 1 : 0.1;
    for (int k = 0; k < 3000; ++k) {
      ars::TConcaveSampler s(c.logpdf, c.lower, c.upper, c.transform, c.splits, {x});
      ASSERT_NO_THROW(s.check()) << c.name << " at " << x;
      x = s(g);
    }
  }
}

// A draw whose evaluation proves the density outside the class raises, and
// so does every draw after it until a reset: the points are no envelope.
TEST(TConcaveCheck, DrawsRaiseOnceThePointsProveTheDensityOutsideTheClass) {
  const auto t05 = [](double x) { return -0.75 * std::log1p(2 * x * x); };
  ars::TConcaveSampler s(t05, -kInf, kInf, ars::Transform::InverseSqrt, {}, {}, 3);
  bool raised = false;
  for (int i = 0; i < 100000 && !raised; ++i) {
    try {
      s.sample();
    } catch (const ars::NotLogConcave&) {
      raised = true;
    }
  }
  ASSERT_TRUE(raised);
  std::mt19937_64 g(1);
  for (int i = 0; i < 1000; ++i) EXPECT_THROW(s(g), ars::NotLogConcave);
  EXPECT_THROW(s.trial(0.5, 0.5), ars::NotLogConcave);
  EXPECT_THROW(s.check(), ars::NotLogConcave);
  s.reset([](double x) { return -std::log1p(x * x); }, -kInf, kInf);
  EXPECT_NO_THROW(s(g));
}

}  // namespace
