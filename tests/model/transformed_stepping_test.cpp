// Stepping under T = -1/sqrt(f) and with split points: hat above and squeeze
// below the density after every refinement, decisions that add up, and
// refusals that carry the three points proving them.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "model/envelope_stepper.h"
#include "sampler/hull_geometry.h"
#include "sampler/uniform_random.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
const double pi = std::acos(-1.0);

double cauchy(double x) { return -std::log1p(x * x) - std::log(pi); }

double mixture(double x) {  // 0.5 N(-3, 1) + 0.5 N(3, 1)
  return std::log(0.5 * std::exp(-(x + 3) * (x + 3) / 2) + 0.5 * std::exp(-(x - 3) * (x - 3) / 2)) -
         0.5 * std::log(2 * pi);
}

double valueOfT(ars::Transform transform, double h) {
  return transform == ars::Transform::Log ? h : -std::exp(-h / 2);
}

// Steps n times; after every tenth step the pieces tile the support, the hull
// lies on or above T(f) and the squeeze on or below it on a grid of each.
void stepAndCheck(EnvelopeStepper& stepper, const std::function<double(double)>& h, int n) {
  UniformRandom rnd;
  rnd.setSeed(2024);
  int squeezed = 0, accepted = 0, rejected = 0;
  for (int i = 1; i <= n; ++i) {
    const StepResult result = stepper.step(rnd);
    ASSERT_TRUE(stepper.hasLastDraw());
    const double x = stepper.lastX(), logY = stepper.lastLogY();
    if (result == StepResult::SqueezeAccept) {
      ++squeezed;
      EXPECT_LE(logY, h(x) + 1e-9) << x;
    } else if (result == StepResult::DensityAccept) {
      ++accepted;
      EXPECT_LE(logY, h(x) + 1e-12) << x;
    } else {
      ++rejected;
    }
    if (i % 10 != 0) continue;
    const std::vector<ars::detail::EnvelopePiece> pieces = stepper.pieces();
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces.front().left, stepper.lower());
    EXPECT_EQ(pieces.back().right, stepper.upper());
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      const ars::detail::EnvelopePiece& p = pieces[k];
      if (k > 0) {
        EXPECT_EQ(p.left, pieces[k - 1].right);
      }
      const double l = std::isfinite(p.left) ? p.left : p.right - 30;
      const double r = std::isfinite(p.right) ? p.right : p.left + 30;
      for (double s : {0.0, 0.2, 0.5, 0.8, 1.0}) {
        const double at = l + (r - l) * s;
        const double t = valueOfT(stepper.transform(), h(at));
        const double tol = 1e-9 * (1 + std::fabs(t));
        EXPECT_GE(p.hull.at(at), t - tol) << "step " << i << " piece " << k << " x " << at;
        if (p.hasSqueeze) {
          EXPECT_LE(p.squeeze.at(at), t + tol) << "step " << i << " piece " << k << " x " << at;
        }
      }
    }
  }
  const ars::SamplerCounts& c = stepper.counts();
  EXPECT_EQ(c.draws, static_cast<std::size_t>(n));
  EXPECT_EQ(c.squeezeAccepts, static_cast<std::size_t>(squeezed));
  EXPECT_EQ(c.densityAccepts, static_cast<std::size_t>(accepted));
  EXPECT_EQ(c.rejections, static_cast<std::size_t>(rejected));
  EXPECT_GT(squeezed, 0);
  EXPECT_GE(c.evaluations, stepper.points().size());
  EXPECT_GT(stepper.squeezeShare(), 0.5);
}

TEST(TransformedStepping, TheCauchyUnderInverseSqrtAndAMixtureWithSplitsStayEnveloped) {
  EnvelopeStepper cauchyStepper(cauchy, -inf, inf, ars::Transform::InverseSqrt);
  stepAndCheck(cauchyStepper, cauchy, 50);
  // Inflection points of log f: cosh(3x) = 3. The middle piece is convex.
  const double a = std::acosh(3.0) / 3;
  EnvelopeStepper mixtureStepper(mixture, -inf, inf, ars::Transform::Log, {-a, a});
  stepAndCheck(mixtureStepper, mixture, 50);
}

TEST(TransformedStepping, AStudentTWithNuBelowOneIsRefusedWithThreePoints) {
  const double nu = 0.5;
  const auto t = [nu](double x) { return -(nu + 1) / 2 * std::log1p(x * x / nu); };
  try {
    EnvelopeStepper stepper(t, -inf, inf, ars::Transform::InverseSqrt);
    UniformRandom rnd;
    rnd.setSeed(7);
    for (int i = 0; i < 10000; ++i) stepper.step(rnd);
    FAIL() << "t with nu = 0.5 was not refused";
  } catch (const ars::NotLogConcave& e) {
    ASSERT_TRUE(e.hasPoints()) << e.what();
    const auto& q = e.points();
    for (const auto& p : q) EXPECT_EQ(p.h, t(p.x));
    EXPECT_TRUE(ars::detail::belowChord({q[0].x, q[0].h}, {q[1].x, q[1].h}, {q[2].x, q[2].h}));
    // Below the chord under -1/sqrt(f) as well, which is what refuses it.
    const double w = (q[1].x - q[0].x) / (q[2].x - q[0].x);
    const auto T = [](double h) { return -std::exp(-h / 2); };
    EXPECT_LT(T(q[1].h), (1 - w) * T(q[0].h) + w * T(q[2].h));
  }
}

}  // namespace
