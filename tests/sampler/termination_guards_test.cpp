// Every call of ARSSampler ends: each guard with a density built to trigger
// it, and the proof that a density above its hull is not log-concave, both
// ways. The window program's own kinds never reach these guards (the golden
// tests pin them); here the sampler is driven the way the program drives it,
// on densities the program does not offer.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

#include "density/test_density.h"
#include "support/engine_fixtures.h"
#include "support/goodness_of_fit.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

std::function<double(double)> normal(double mean, double sd) {
  return [=](double x) { return -0.5 * ((x - mean) / sd) * ((x - mean) / sd); };
}

struct Drawn {
  double mean = 0;
  double variance = 0;
  bool reported = false;
  int reportedAt = -1;
};

// inLimits: the draws must lie in [lowerLimit, upperLimit]. With the
// program's slope spreading a density that is not log-concave can have hull
// pieces beyond the limits, and the squeeze may accept from them before the
// report comes.
Drawn draw(ARSSampler& s, int n, bool inLimits = true) {
  Drawn d;
  double sum = 0, squares = 0;
  for (int i = 0; i < n; ++i) {
    double x;
    try {
      x = s.sample();
    } catch (const ARSSampler::XNotLogConcave&) {
      d.reported = true;
      d.reportedAt = i;
      return d;
    }
    EXPECT_TRUE(std::isfinite(x));
    if (inLimits) {
      EXPECT_GE(x, s.lowerLimit);
      EXPECT_LE(x, s.upperLimit);
    }
    sum += x;
    squares += x * x;
  }
  d.mean = sum / n;
  d.variance = squares / n - d.mean * d.mean;
  return d;
}

void expectFinitePoints(const ARSSampler& s) {
  for (const HullPoint& p : s.points) {
    ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.h)) << p.x << " " << p.h;
  }
}

TEST(TerminationGuards, BothEndsUnboundedStartDistinctAndStraddleTheMode) {
  for (double mean : {1000.0, -3.0, 6.0, 0.0}) {
    SCOPED_TRACE(mean);
    FunctionDensity density(normal(mean, 1));
    SamplerRig rig(density);
    ARSSampler& s = rig.sampler;
    s.lowerBounded = false;
    s.upperBounded = false;
    s.initPoints();
    ASSERT_EQ(s.points.size(), 3u);
    expectFinitePoints(s);
    EXPECT_LT(s.points[0].x, mean);
    EXPECT_GT(s.points[2].x, mean);
    const Drawn d = draw(s, 20000);
    ASSERT_FALSE(d.reported);
    EXPECT_NEAR(d.mean, mean, 0.03);
    EXPECT_NEAR(d.variance, 1.0, 0.05);
    expectFinitePoints(s);
  }
}

TEST(TerminationGuards, HalfBoundedStartsStayInsideTheSupport) {
  // [5, inf): the start on the unbounded side lies beyond the bounded end,
  // instead of being swapped with it.
  FunctionDensity above(normal(7, 1));
  SamplerRig rig(above, false);
  rig.sampler.lowerLimit = 5;
  std::vector<double> samples;
  for (int i = 0; i < 20000; ++i) samples.push_back(rig.sampler.sample());
  for (const HullPoint& p : rig.sampler.points) EXPECT_GE(p.x, 5.0);
  const NumericCdf cdf(normal(7, 1), 5, 20);
  const int bins = equalProbabilityBins(samples.size());
  EXPECT_LT(chiSquare(samples, cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));

  // (-inf, 0.5]: the unbounded start lies below the bounded end.
  FunctionDensity below(normal(0, 1));
  SamplerRig low(below);
  low.sampler.lowerBounded = false;
  low.sampler.upperLimit = 0.5;
  const Drawn d = draw(low.sampler, 20000);
  ASSERT_FALSE(d.reported);
  for (const HullPoint& p : low.sampler.points) EXPECT_LE(p.x, 0.5);
}

TEST(TerminationGuards, BadSettingsAreNamed) {
  FunctionDensity density(normal(0.5, 0.1));
  const auto message = [&](const std::function<void(ARSSampler&)>& set) -> std::string {
    SamplerRig rig(density);
    set(rig.sampler);
    try {
      rig.sampler.sample();
    } catch (const std::invalid_argument& e) {
      EXPECT_TRUE(rig.sampler.points.empty());
      return e.what();
    }
    return "";
  };
  EXPECT_NE(message([](ARSSampler& s) { s.lowerLimit = 0.7, s.upperLimit = 0.2; }).find("lowerLimit"),
            std::string::npos);
  EXPECT_NE(message([](ARSSampler& s) { s.lowerLimit = 0.5, s.upperLimit = 0.5; }).find("upperLimit"),
            std::string::npos);
  EXPECT_NE(message([](ARSSampler& s) { s.upperLimit = inf; }).find("upperLimit"), std::string::npos);
  EXPECT_NE(message([](ARSSampler& s) { s.lowerLimit = std::nan(""); }).find("lowerLimit"),
            std::string::npos);

  // logDensity not finite at a starting point.
  FunctionDensity hole([](double x) { return std::fabs(x - 0.5) < 0.01 ? std::nan("") : -x * x; });
  SamplerRig rig(hole);
  try {
    rig.sampler.initPoints();
    ADD_FAILURE() << "no report";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("logDensity"), std::string::npos);
  }
  EXPECT_TRUE(rig.sampler.points.empty());
}

TEST(TerminationGuards, NotANumberDuringSamplingIsABadSetting) {
  // Finite at the three starting points, NaN or +inf elsewhere in the limits.
  for (double bad : {std::nan(""), inf}) {
    FunctionDensity density([bad](double x) { return x > 0.7 && x < 0.9 ? bad : -(x - 0.5) * (x - 0.5); });
    SamplerRig rig(density);
    rig.sampler.points = {{0.1, -0.16}, {0.5, 0}, {0.95, -0.2025}};
    EXPECT_THROW(draw(rig.sampler, 5000), std::invalid_argument);
    expectFinitePoints(rig.sampler);
  }
}

TEST(TerminationGuards, ZeroDensityMovesAnOuterLimitInAndIsNeverInserted) {
  // The limits are wider than the support, where logDensity is -infinity.
  FunctionDensity density([](double x) { return x < 0.2 || x > 0.6 ? -inf : -50 * (x - 0.4) * (x - 0.4); });
  SamplerRig rig(density);
  rig.sampler.points = {{0.25, -1.125}, {0.4, 0}, {0.55, -1.125}};
  std::vector<double> samples;
  for (int i = 0; i < 20000; ++i) samples.push_back(rig.sampler.sample());
  expectFinitePoints(rig.sampler);
  EXPECT_GE(rig.sampler.lowerLimit, 0.2 - 1e-3);
  EXPECT_LE(rig.sampler.upperLimit, 0.6 + 1e-3);
  const NumericCdf cdf([](double x) { return -50 * (x - 0.4) * (x - 0.4); }, 0.2, 0.6);
  const int bins = equalProbabilityBins(samples.size());
  EXPECT_LT(chiSquare(samples, cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));

  // A zero between two points with positive density: not log-concave.
  FunctionDensity gap([](double x) { return x > 0.45 && x < 0.5 ? -inf : -(x - 0.5) * (x - 0.5); });
  SamplerRig gapRig(gap);
  gapRig.sampler.points = {{0.1, -0.16}, {0.5, 0}, {0.9, -0.16}};
  EXPECT_TRUE(draw(gapRig.sampler, 100000).reported);
}

TEST(TerminationGuards, CandidatesOutsideTheLimitsAreNotInserted) {
  // The owner narrows the limits after the build: the envelope still reaches
  // beyond them, and its candidates there are drawn again.
  ARSBetaDensity beta = betaDensity(2, 3);
  SamplerRig rig(beta);
  ARSSampler& s = rig.sampler;
  s.initPoints();
  s.buildEnvelope();
  const std::vector<HullPoint> start = s.points;
  s.upperLimit = 0.6;
  int rejected = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::size_t before = s.points.size();
    if (!s.step()) ++rejected;
    if (s.lastX > 0.6) {
      ASSERT_EQ(s.points.size(), before);
    }
  }
  EXPECT_GT(rejected, 0);
  for (const HullPoint& p : s.points) {
    if (p.x != start.back().x) {
      EXPECT_LE(p.x, 0.6);
    }
  }
}

TEST(TerminationGuards, EnvelopeWithoutPositiveAreaIsAnError) {
  FunctionDensity density(normal(0.5, 0.2));
  // Points set by the owner with an abscissa that is not a number.
  SamplerRig broken(density);
  broken.sampler.points = {{0.1, -4}, {std::nan(""), 0}, {0.9, -4}};
  EXPECT_THROW(broken.sampler.sample(), std::invalid_argument);
  // Limits moved inside out after the points were chosen: negative area.
  SamplerRig inverted(density);
  inverted.sampler.points = {{0.1, -4}, {0.5, 0}, {0.9, -4}};
  inverted.sampler.lowerLimit = 0.99;
  inverted.sampler.upperLimit = 0.01;
  EXPECT_THROW(inverted.sampler.sample(), std::invalid_argument);
}

TEST(TerminationGuards, RefinementStopsAtTheCapAndSamplingStaysExact) {
  ARSBetaDensity beta = betaDensity(2, 3);
  SamplerRig rig(beta);
  rig.sampler.maxPoints = 8;
  std::vector<double> samples;
  for (int i = 0; i < 20000; ++i) samples.push_back(rig.sampler.sample());
  EXPECT_EQ(rig.sampler.points.size(), 8u);
  const std::uint64_t rejections = rig.sampler.counts.rejections;
  EXPECT_GT(rejections, 5u);  // rejections go on, without new points
  const NumericCdf cdf([&beta](double x) { return beta.logDensity(x); }, 1e-6, 0.999999);
  const int bins = equalProbabilityBins(samples.size());
  EXPECT_LT(chiSquare(samples, cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
}

TEST(TerminationGuards, HeavyTailsAndRunawaysAreReported) {
  // Cauchy and t(3) on the whole line, a bimodal mixture, e^x on (0, inf).
  const std::function<double(double)> reported[] = {
      [](double x) { return -std::log1p(x * x); },
      [](double x) { return -2 * std::log1p(x * x / 3); },
      [](double x) {
        return std::log(std::exp(-0.5 * (x - 3) * (x - 3)) + std::exp(-0.5 * (x + 3) * (x + 3)));
      },
  };
  for (const auto& h : reported) {
    FunctionDensity density(h);
    SamplerRig rig(density);
    rig.sampler.lowerBounded = false;
    rig.sampler.upperBounded = false;
    EXPECT_TRUE(draw(rig.sampler, 100000, false).reported);
    expectFinitePoints(rig.sampler);
    for (const HullPoint& p : rig.sampler.points) {
      EXPECT_TRUE(p.x >= rig.sampler.lowerLimit && p.x <= rig.sampler.upperLimit) << p.x;
    }
  }
  FunctionDensity rising([](double x) { return x > 0 ? x : -1000.0; });
  SamplerRig rig(rising, false);
  EXPECT_TRUE(draw(rig.sampler, 1000).reported);
}

TEST(TerminationGuards, FloorOutsideTheSupportEnds) {
  // Limits wider than the support, with a floor outside it: the floor is not
  // concave, and the sampler says so instead of looping.
  FunctionDensity floor([](double x) { return std::fabs(x) < 5 ? -0.5 * x * x : -1000.0; });
  SamplerRig rig(floor);
  rig.sampler.lowerLimit = -10;
  rig.sampler.upperLimit = 10;
  EXPECT_TRUE(draw(rig.sampler, 100000).reported);
}

TEST(ProofRule, HullThatDipsUnderALogConcaveDensityIsRefined) {
  // With slopes spread by 0.1, the hull of these cut below the density early
  // on; every such candidate must refine it, never report it.
  struct Case {
    const char* name;
    std::function<double(double)> h;
    bool upperBounded;
    bool lowerBounded;
  };
  const Case cases[] = {
      {"N(0,100)", normal(0, 10), false, false},
      {"gamma(1000,1)", [](double x) { return x > 0 ? 999 * std::log(x) - x : -1000.0; }, false, true},
      {"logistic", [](double x) { return -x - 2 * std::log1p(std::exp(-x)); }, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FunctionDensity density(c.h);
    SamplerRig rig(density, c.upperBounded);
    rig.sampler.lowerBounded = c.lowerBounded;
    ASSERT_FALSE(draw(rig.sampler, 20000).reported);
    EXPECT_GT(rig.sampler.counts.hullRepairs, 0u);
    EXPECT_FALSE(rig.sampler.violatesLogConcavity());
  }
}

TEST(ProofRule, BumpAboveTheHullIsReported) {
  FunctionDensity bump([](double x) {
    return std::log(std::exp(-0.5 * x * x) + 0.3 * std::exp(-0.5 * (x - 2.5) * (x - 2.5) / 0.04));
  });
  SamplerRig rig(bump);
  rig.sampler.lowerLimit = -8;
  rig.sampler.upperLimit = 8;
  const Drawn d = draw(rig.sampler, 100000);
  ASSERT_TRUE(d.reported);
  // The proof: the candidate that exposed it lies above the chord of its
  // neighbours... or some point lies below the chord of its neighbours.
  EXPECT_TRUE(rig.sampler.violatesLogConcavity(rig.sampler.lastX, bump.logDensity(rig.sampler.lastX)));
}

TEST(ProofRule, TestDensityIsReportedWithAWideMargin) {
  // The program's test density is reported at the fifth step of a throw; the
  // points with that candidate break concavity by far more than the rounding
  // tolerance, so the report does not hang on the tolerance chosen.
  ARSTestDensity test;
  SamplerRig rig(test);
  ARSSampler& s = rig.sampler;
  s.initPoints();
  s.buildEnvelope();
  int step = 0;
  try {
    for (; step < 100; ++step) s.step();
  } catch (const ARSSampler::XNotLogConcave&) {
  }
  ASSERT_EQ(step, 4);  // the fifth step, counting from 0
  std::vector<HullPoint> p = s.points;
  const HullPoint candidate{s.lastX, test.logDensity(s.lastX)};
  p.insert(std::lower_bound(p.begin(), p.end(), candidate,
                            [](const HullPoint& a, const HullPoint& b) { return a.x < b.x; }),
           candidate);
  double worst = 0;
  for (std::size_t j = 1; j + 1 < p.size(); ++j) {
    const double chord =
        p[j - 1].h + (p[j + 1].h - p[j - 1].h) * ((p[j].x - p[j - 1].x) / (p[j + 1].x - p[j - 1].x));
    const double scale = 1 + std::max({std::fabs(p[j - 1].h), std::fabs(p[j].h), std::fabs(p[j + 1].h)});
    worst = std::max(worst, (chord - p[j].h) / scale);
  }
  EXPECT_GT(worst, 1000 * ARSSampler::concavityTolerance);
}

TEST(ScaleOffset, ResetKeepsItForTheProgramAndRestartForgetsIt) {
  // After the test density's last envelope (scaleOffset 56.3965...), the
  // outward search of Gamma(10, 0.1) doubles its upper limit to 20 once: the
  // window program shows that, so reset() must keep the value.
  ARSGammaDensity gamma = gammaDensity(10, 0.1);
  const auto limitAfter = [&](bool restart) {
    UniformRandom rnd;
    ARSSampler s;
    s.prnd = &rnd;
    s.scaleOffset = 56.396507376529975;
    if (restart) {
      s.restart();
    } else {
      s.clear();
      s.reset();
    }
    s.density = &gamma;
    s.upperBounded = false;
    s.keepPoints = true;
    s.initPoints();
    return s.upperLimit;
  };
  EXPECT_EQ(limitAfter(false), 20.0);
  EXPECT_EQ(limitAfter(true), 10.0);
}

}  // namespace
