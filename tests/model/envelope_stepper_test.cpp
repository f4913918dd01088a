// The window's steps on the library's envelope: decisions that agree with
// the density, replays from the random state, pieces that bound the density,
// and refusals that carry their proof.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "model/envelope_stepper.h"
#include "sampler/hull_geometry.h"
#include "sampler/uniform_random.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

double gumbel(double x) { return -x / 1e-6 - std::exp(-x / 1e-6); }

UniformRandom seeded(int seed) {
  UniformRandom rnd;
  rnd.setSeed(seed);
  return rnd;
}

TEST(EnvelopeStepper, EachDecisionAgreesWithTheDensityAndEveryRejectionBecomesAPoint) {
  EnvelopeStepper stepper(gumbel, -inf, inf);
  UniformRandom rnd = seeded(1001);
  int evaluated = 0;
  for (int i = 0; i < 300; ++i) {
    const std::size_t before = stepper.points().size();
    const StepResult result = stepper.step(rnd);
    const double x = stepper.lastX();
    const double logY = stepper.lastLogY();
    ASSERT_TRUE(stepper.hasLastDraw());
    if (result == StepResult::SqueezeAccept) {
      EXPECT_LE(logY, gumbel(x) + 1e-9 * (1 + std::fabs(gumbel(x))));
      EXPECT_EQ(stepper.points().size(), before);
      continue;
    }
    ++evaluated;
    EXPECT_EQ(logY <= gumbel(x), result == StepResult::DensityAccept) << x;
    EXPECT_EQ(stepper.points().size(), before + 1);
  }
  EXPECT_GT(evaluated, 0);
  EXPECT_GT(stepper.squeezeShare(), 0.9);
}

TEST(EnvelopeStepper, TheSameRandomStateReplaysTheSameSteps) {
  const auto f = [](double x) { return -(x - 8e8) * (x - 8e8) / 2; };
  const EnvelopeStepper start(f, -inf, inf);
  EnvelopeStepper a = start, b = start;
  UniformRandom ra = seeded(7), rb = seeded(7);
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(a.step(ra), b.step(rb));
    ASSERT_EQ(a.lastX(), b.lastX());
  }
  EXPECT_EQ(ra.state, rb.state);
  EXPECT_EQ(a.counts().evaluations, b.counts().evaluations);
  EXPECT_NEAR(a.sample(ra), 8e8, 6);
}

TEST(EnvelopeStepper, PiecesCoverTheSupportWithTheHullAboveAndTheSqueezeBelow) {
  const auto f = [](double x) { return 2 * std::log(x) - x / 2; };  // Gamma(3, 2) on (0, inf)
  EnvelopeStepper stepper(f, 0, inf);
  UniformRandom rnd = seeded(3);
  for (int i = 0; i < 20; ++i) stepper.step(rnd);
  const std::vector<ars::detail::EnvelopePiece> pieces = stepper.pieces();
  ASSERT_FALSE(pieces.empty());
  EXPECT_EQ(pieces.front().left, stepper.lower());
  EXPECT_EQ(pieces.back().right, inf);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const ars::detail::EnvelopePiece& p = pieces[i];
    if (i > 0) {
      EXPECT_EQ(p.left, pieces[i - 1].right);
    }
    const double r = std::isfinite(p.right) ? p.right : p.left + 40;
    for (double t : {0.1, 0.5, 0.9}) {
      const double x = p.left + (r - p.left) * t;
      EXPECT_GE(p.hull.at(x), f(x) - 1e-9) << x;
      if (p.hasSqueeze) {
        EXPECT_LE(p.squeeze.at(x), f(x) + 1e-9) << x;
      }
    }
  }
}

TEST(EnvelopeStepper, RefusalsCarryTheirProofOrTheirReason) {
  const auto cauchy = [](double x) { return -std::log1p(x * x); };
  try {
    EnvelopeStepper stepper(cauchy, -inf, inf);
    UniformRandom rnd = seeded(1001);
    for (int i = 0; i < 10000; ++i) stepper.step(rnd);
    FAIL() << "the Cauchy density was not refused";
  } catch (const ars::NotLogConcave& e) {
    EXPECT_EQ(e.reason(), ars::NotLogConcave::Reason::NotConcave);
    ASSERT_TRUE(e.hasPoints());
    const auto& q = e.points();
    EXPECT_TRUE(ars::detail::belowChord({q[0].x, q[0].h}, {q[1].x, q[1].h}, {q[2].x, q[2].h}));
    for (const auto& p : q) EXPECT_EQ(p.h, cauchy(p.x));
  }
  try {
    EnvelopeStepper flat([](double) { return 0.0; }, 0, inf);
    FAIL() << "a flat density on a half line was not refused";
  } catch (const ars::NotLogConcave& e) {
    EXPECT_EQ(e.reason(), ars::NotLogConcave::Reason::NotIntegrable);
    EXPECT_FALSE(e.hasPoints());
  }
  EXPECT_THROW(EnvelopeStepper(gumbel, -inf, inf, ars::Transform::Log, {1.0, 0.0}), std::invalid_argument);
}

// Near 7e15 the doubles step by 1, so h is a staircase no hull holds: the
// points stop growing and every dart still ends, drawn or given up.
TEST(EnvelopeStepper, AStaircaseBeyondTheDoublesEndsWithoutFreezing) {
  const auto h = [](double x) { return 444447 + std::fabs(x - 7104218094546470.0); };
  try {
    EnvelopeStepper stepper(h, 0, inf);
    UniformRandom rnd;
    rnd.setSeed(1001);
    try {
      for (int i = 0; i < 20; ++i) stepper.sample(rnd);
    } catch (const std::runtime_error&) {
    }
    EXPECT_LE(stepper.points().size(), EnvelopeStepper::maxPoints);
  } catch (const ars::NotLogConcave&) {
  } catch (const std::invalid_argument&) {
  }
}

}  // namespace
