// One candidate at a time: trial() takes the very steps sample() takes, and
// the pieces it exposes bound T(f) in the scale of referenceLog().
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

#include "sampler/t_concave_sampler.h"
#include "sampler/uniform_source.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

double t3(double x) { return -2.0 * std::log1p(x * x / 3); }
double mixture(double x) {
  return std::log(0.5 * std::exp(-0.5 * (x + 2) * (x + 2)) + 0.5 * std::exp(-0.5 * (x - 2) * (x - 2)));
}

TEST(TConcaveTrial, TrialsUntilAnAcceptanceGiveTheDrawsOfSample) {
  ars::TConcaveSampler fast(t3, -inf, inf);
  ars::TConcaveSampler stepped = fast;
  std::mt19937_64 g1(11), g2(11);
  int squeezed = 0;
  for (int i = 0; i < 300; ++i) {
    const double x = fast.sample(g1);
    ars::TConcaveSampler::Trial trial{};
    do {
      const double u = ars::detail::uniform01(g2);
      trial = stepped.trial(u, ars::detail::uniform01(g2));
      if (trial.outcome == ars::TConcaveSampler::Outcome::SqueezeAccept) {
        ++squeezed;
        EXPECT_LE(trial.logY, t3(trial.x) + 1e-9);
      }
    } while (trial.outcome != ars::TConcaveSampler::Outcome::SqueezeAccept &&
             trial.outcome != ars::TConcaveSampler::Outcome::DensityAccept);
    ASSERT_EQ(trial.x, x) << i;
  }
  EXPECT_GT(squeezed, 200);
  EXPECT_EQ(stepped.evaluations(), fast.evaluations());
  const double ref = stepped.referenceLog();
  for (const ars::detail::EnvelopePiece& p : stepped.envelopePieces()) {
    const double l = std::isfinite(p.left) ? p.left : p.right - 50;
    const double r = std::isfinite(p.right) ? p.right : p.left + 50;
    for (double s : {0.0, 0.3, 0.7, 1.0}) {
      const double x = l + (r - l) * s;
      const double t = -std::exp(-(t3(x) - ref) / 2);
      EXPECT_GE(p.hull.at(x), t - 1e-12) << x;
      if (p.hasSqueeze) {
        EXPECT_LE(p.squeeze.at(x), t + 1e-12) << x;
      }
    }
  }
  ars::TConcaveSampler logConcave([](double x) { return -x * x / 2; }, -inf, inf, ars::Transform::Log);
  EXPECT_THROW(logConcave.trial(0.5, 0.5), std::logic_error);
  EXPECT_TRUE(logConcave.envelopePieces().empty());
}

// Each trial carries the numbers that decided it, read from the envelope it
// was drawn under: hat and squeeze around h, h itself where evaluated, and
// the inequality its outcome names.
TEST(TConcaveTrial, CarriesHatSqueezeAndTheDensityThatDecided) {
  // Where log of the mixture turns from convex to concave.
  const double turn = std::acosh(2.0) / 2;
  struct Case {
    ars::TConcaveSampler sampler;
    double (*h)(double);
  };
  for (Case c : {Case{ars::TConcaveSampler(t3, -inf, inf), t3},
                 Case{ars::TConcaveSampler(mixture, -inf, inf, ars::Transform::Log, {-turn, turn}), mixture}}) {
    std::mt19937_64 g(5);
    int outcomes[4] = {0, 0, 0, 0};
    for (int i = 0; i < 400; ++i) {
      const double u = ars::detail::uniform01(g);
      const double v = ars::detail::uniform01(g);
      const ars::TConcaveSampler::Trial t = c.sampler.trial(u, v);
      ++outcomes[static_cast<int>(t.outcome)];
      if (t.outcome == ars::TConcaveSampler::Outcome::Outside) continue;
      const double h = c.h(t.x);
      EXPECT_NEAR(t.logY, std::log(v) + t.logHat, 1e-9) << i;
      EXPECT_GE(t.logHat, h - 1e-9) << i;
      if (!std::isnan(t.logSqueeze)) {
        EXPECT_LE(t.logSqueeze, h + 1e-9) << i;
      }
      switch (t.outcome) {
        case ars::TConcaveSampler::Outcome::SqueezeAccept:
          EXPECT_TRUE(std::isnan(t.logDensity)) << i;
          EXPECT_LE(t.logY, t.logSqueeze + 1e-9) << i;
          break;
        case ars::TConcaveSampler::Outcome::DensityAccept:
          EXPECT_EQ(t.logDensity, h) << i;
          EXPECT_LE(t.logY, t.logDensity + 1e-9) << i;
          break;
        case ars::TConcaveSampler::Outcome::Rejection:
          EXPECT_EQ(t.logDensity, h) << i;
          EXPECT_GT(t.logY, t.logDensity - 1e-9) << i;
          break;
        case ars::TConcaveSampler::Outcome::Outside:
          break;
      }
    }
    EXPECT_GT(outcomes[0], 0);
    EXPECT_GT(outcomes[1] + outcomes[2], 0);
  }
}

}  // namespace
