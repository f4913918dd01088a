// Shapes that the rules taken literally would mishandle: runaway searches,
// chords to a point that was never evaluated, flat hull pieces, repeated
// abscissae and densities that rise above their hull.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "density/test_density.h"
#include "support/engine_fixtures.h"

namespace {

TEST(SoundBehaviour, RunawayUpperSearchEnds) {
  // Log-densities on (0, inf) whose chords never turn downwards.
  for (auto h : {+[](double x) { return x > 0 ? x : -1000.0; },
                 +[](double x) { return x > 0 ? std::log(x) : -1000.0; },
                 +[](double x) { return x > 0 ? 0.0 : -1000.0; }}) {
    FunctionDensity density(h);
    SamplerRig rig(density, false);
    EXPECT_THROW(rig.sampler.initPoints(), ARSSampler::XNotLogConcave);
    EXPECT_LT(density.evaluations, 2 * ARSSampler::maxSearchDoublings);
  }
}

TEST(SoundBehaviour, RunawayLowerSearchAndExtensionsEnd) {
  FunctionDensity falling([](double x) { return -x; });
  SamplerRig rig(falling);
  rig.sampler.lowerBounded = false;
  EXPECT_THROW(rig.sampler.initPoints(), ARSSampler::XNotLogConcave);

  FunctionDensity flat([](double) { return 0.0; });
  ARSSampler sampler;
  sampler.density = &flat;
  sampler.upperBounded = false;
  EXPECT_THROW(sampler.extendUpperLimit(), ARSSampler::XNotLogConcave);
  sampler.lowerBounded = false;
  EXPECT_THROW(sampler.extendLowerLimit(), ARSSampler::XNotLogConcave);
}

TEST(SoundBehaviour, UnnormalisedLogConcaveDensityIsSampled) {
  // Gamma(10, 0.1) shifted down by 100: every log value is far below 1e-6,
  // which must not be mistaken for a failure of log-concavity.
  ARSGammaDensity gamma = gammaDensity(10, 0.1);
  FunctionDensity shifted([&gamma](double x) { return gamma.logDensity(x) - 100; });
  SamplerRig rig(shifted, false);
  ASSERT_NO_THROW(rig.sampler.initPoints());
  ASSERT_EQ(rig.sampler.points.size(), 3u);
  EXPECT_EQ(rig.sampler.points[1].x, 1.0);
  EXPECT_EQ(rig.sampler.points[2].x, 5.5);
  double sum = 0;
  for (int i = 0; i < 2000; ++i) sum += rig.sampler.sample();
  EXPECT_NEAR(sum / 2000, 1.0, 0.03);
}

TEST(SoundBehaviour, EarlyAcceptanceNeedsAnEvaluatedMiddlePoint) {
  // Positive just above 0 and negative at 1: taken literally, the chords to
  // the unevaluated record (0, 0) pass the early test.
  FunctionDensity hump([](double x) { return x > 0 ? 1 - 4 * (x - 0.2) * (x - 0.2) : -1000.0; });
  SamplerRig rig(hump, false);
  rig.sampler.initPoints();
  const auto& p = rig.sampler.points;
  ASSERT_EQ(p.size(), 3u);
  EXPECT_LT(p[0].x, p[1].x);
  EXPECT_LT(p[1].x, p[2].x);
  EXPECT_GT(ARSSampler::chordSlope(p[0], p[1]), 0);
  EXPECT_LT(ARSSampler::chordSlope(p[1], p[2]), 0);
  for (int i = 0; i < 500; ++i) {
    const double x = rig.sampler.sample();
    ASSERT_GT(x, 0.0);
    ASSERT_TRUE(std::isfinite(x));
  }
}

TEST(SoundBehaviour, FlatUpperPieceIsInvertedLinearly) {
  // Concave and flat on [0.3, 0.7]: secants between points on the plateau are flat.
  FunctionDensity plateau([](double x) {
    if (x <= 0 || x >= 1) return -1000.0;
    if (x < 0.3) return -10 * (0.3 - x);
    if (x > 0.7) return -10 * (x - 0.7);
    return 0.0;
  });
  SamplerRig rig(plateau);
  ARSSampler& s = rig.sampler;
  s.points = {{0.1, -2}, {0.4, 0}, {0.6, 0}, {0.9, -2}};
  s.buildEnvelope();
  bool flat = false;
  for (const EnvelopeSegment& seg : s.segments) flat = flat || (seg.upperSlope == 0 && seg.area > 0);
  ASSERT_TRUE(flat);
  double sum = 0;
  for (int i = 0; i < 5000; ++i) {
    const double x = s.sample();
    ASSERT_TRUE(std::isfinite(x)) << i;
    ASSERT_GE(x, s.lowerLimit);
    ASSERT_LE(x, s.upperLimit);
    sum += x;
  }
  EXPECT_NEAR(sum / 5000, 0.5, 0.01);
}

TEST(SoundBehaviour, RepeatedAbscissaIsNotInserted) {
  ARSSampler s;
  s.points = {{0.1, -1}, {0.5, 0}, {0.9, -1}};
  EXPECT_FALSE(s.insertPoint(0.5, 0));
  EXPECT_EQ(s.points.size(), 3u);
  EXPECT_TRUE(s.insertPoint(0.3, -0.5));
  EXPECT_TRUE(s.insertPoint(0.95, -2));
  EXPECT_TRUE(s.insertPoint(0.05, -2));
  ASSERT_EQ(s.points.size(), 6u);
  const double xs[] = {0.05, 0.1, 0.3, 0.5, 0.9, 0.95};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s.points[i].x, xs[i]);
}

TEST(SoundBehaviour, DensityAboveItsHullIsReportedByStep) {
  // The test density is not log-concave between about 0.03 and 0.40.
  ARSTestDensity test;
  SamplerRig rig(test);
  ARSSampler& s = rig.sampler;
  s.initPoints();
  s.buildEnvelope();
  bool thrown = false;
  for (int i = 0; i < 10000 && !thrown; ++i) {
    const auto points = s.points;
    const auto segments = s.segments;
    const double total = s.totalArea;
    try {
      s.step();
    } catch (const ARSSampler::XNotLogConcave&) {
      thrown = true;
      EXPECT_EQ(s.points.size(), points.size());
      EXPECT_EQ(s.segments.size(), segments.size());
      EXPECT_EQ(s.totalArea, total);
      // The offending candidate stays visible; its dart lies below the hull.
      EXPECT_TRUE(s.hasLastDraw);
      EXPECT_GT(s.lastX, 0.0);
      EXPECT_LT(s.lastX, 0.5);
      EXPECT_LT(s.lastLogY, test.logDensity(s.lastX));
    }
  }
  EXPECT_TRUE(thrown);

  // sample() lets it through.
  SamplerRig darts(test);
  EXPECT_THROW(
      {
        for (int i = 0; i < 5000; ++i) darts.sampler.sample();
      },
      ARSSampler::XNotLogConcave);
}

TEST(SoundBehaviour, LogConcaveKindsNeverSeeTheDensityAboveTheHull) {
  ARSBetaDensity beta = betaDensity(2, 3);
  ARSGammaDensity gamma = gammaDensity(10, 0.1);
  SamplerRig betaRig(beta);
  SamplerRig gammaRig(gamma, false);
  for (int throwIndex = 0; throwIndex < 4; ++throwIndex) {
    betaRig.sampler.clear();
    gammaRig.sampler.clear();
    EXPECT_NO_THROW(for (int i = 0; i < 5000; ++i) betaRig.sampler.sample());
    EXPECT_NO_THROW(for (int i = 0; i < 5000; ++i) gammaRig.sampler.sample());
  }
}

}  // namespace
