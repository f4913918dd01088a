#include <gtest/gtest.h>

#include <cmath>

#include "density/test_density.h"
#include "support/engine_fixtures.h"

namespace {

TEST(StartingPoints, NewSamplerState) {
  ARSSampler sampler;
  EXPECT_EQ(sampler.lowerLimit, 1e-6);
  EXPECT_EQ(sampler.upperLimit, 0.999999);
  EXPECT_TRUE(sampler.lowerBounded);
  EXPECT_TRUE(sampler.upperBounded);
  EXPECT_TRUE(sampler.points.empty());
  EXPECT_TRUE(sampler.segments.empty());
  EXPECT_EQ(sampler.scaleOffset, 0.0);
  EXPECT_FALSE(sampler.keepPoints);
  EXPECT_EQ(sampler.prnd, nullptr);
  EXPECT_EQ(sampler.density, nullptr);
}

TEST(StartingPoints, BetaTakesFixedFractionsWithoutSearch) {
  ARSBetaDensity beta = betaDensity(2, 3);
  SamplerRig rig(beta);
  rig.sampler.initPoints();
  const auto& p = rig.sampler.points;
  ASSERT_EQ(p.size(), 3u);
  EXPECT_NEAR(p[0].x, 0.0500009, 1e-12);
  EXPECT_NEAR(p[1].x, 0.5, 1e-15);
  EXPECT_NEAR(p[2].x, 0.9499991, 1e-12);
  EXPECT_NEAR(ARSSampler::chordSlope(p[0], p[1]), 2.264141, 5e-7);
  EXPECT_NEAR(ARSSampler::chordSlope(p[1], p[2]), -8.807309, 5e-7);
  EXPECT_EQ(rig.sampler.lowerLimit, 1e-6);
  EXPECT_EQ(rig.sampler.upperLimit, 0.999999);
}

TEST(StartingPoints, GammaSearchesOutwardOverUnboundedEnd) {
  ARSGammaDensity gamma = gammaDensity(10, 0.1);
  SamplerRig rig(gamma, false);
  rig.sampler.initPoints();
  const auto& p = rig.sampler.points;
  ASSERT_EQ(p.size(), 3u);
  EXPECT_NEAR(p[0].x, 0.500001, 1e-12);
  EXPECT_NEAR(p[0].h, -1.014293, 5e-7);
  EXPECT_EQ(p[1].x, 1.0);
  EXPECT_NEAR(p[1].h, 0.224023, 5e-7);
  EXPECT_EQ(p[2].x, 5.5);
  EXPECT_NEAR(p[2].h, -29.433244, 5e-7);
  EXPECT_EQ(rig.sampler.lowerLimit, 2e-6);
  EXPECT_EQ(rig.sampler.upperLimit, 10.0);
}

TEST(StartingPoints, TestDensityAcceptedEarlyWithLimitsUnchanged) {
  ARSTestDensity test;
  SamplerRig rig(test);
  rig.sampler.initPoints();
  const auto& p = rig.sampler.points;
  ASSERT_EQ(p.size(), 3u);
  EXPECT_NEAR(p[0].x, 2e-6, 1e-15);
  EXPECT_NEAR(p[1].x, 0.5, 1e-15);
  EXPECT_NEAR(p[2].x, 0.999998, 1e-15);
  EXPECT_EQ(rig.sampler.lowerLimit, 1e-6);
  EXPECT_EQ(rig.sampler.upperLimit, 0.999999);
}

TEST(StartingPoints, KindsThatAreNotLogConcaveAreReported) {
  ARSBetaDensity beta = betaDensity(0.5, 2);  // kind 2
  SamplerRig betaRig(beta);
  EXPECT_THROW(betaRig.sampler.initPoints(), ARSSampler::XNotLogConcave);
  EXPECT_TRUE(betaRig.sampler.points.empty());

  for (double alpha : {1.0, 0.5}) {  // kinds 3 and 5
    ARSGammaDensity gamma = gammaDensity(alpha, alpha == 1.0 ? 1.0 : 2.0);
    SamplerRig rig(gamma, false);
    EXPECT_THROW(rig.sampler.initPoints(), ARSSampler::XNotLogConcave) << alpha;
    EXPECT_TRUE(rig.sampler.points.empty());
  }

  // A mode on the upper end of a bounded support.
  FunctionDensity rising([](double x) { return x > 0 && x < 1 ? 3 * x : -1000.0; });
  SamplerRig risingRig(rising);
  EXPECT_THROW(risingRig.sampler.initPoints(), ARSSampler::XNotLogConcave);
}

TEST(StartingPoints, KeptPointsAreLeftAloneAndOthersReduced) {
  ARSBetaDensity beta = betaDensity(2, 3);
  SamplerRig rig(beta);
  rig.sampler.points = {{0.1, beta.logDensity(0.1)}, {0.2, beta.logDensity(0.2)},
                        {0.4, beta.logDensity(0.4)}, {0.6, beta.logDensity(0.6)},
                        {0.9, beta.logDensity(0.9)}};
  rig.sampler.hasLastDraw = true;
  rig.sampler.initPoints();
  EXPECT_EQ(rig.sampler.points.size(), 5u);
  EXPECT_TRUE(rig.sampler.hasLastDraw);

  // Without keepPoints: first, the qualifying point nearest the middle (0.5), last.
  rig.sampler.keepPoints = false;
  rig.sampler.initPoints();
  ASSERT_EQ(rig.sampler.points.size(), 3u);
  EXPECT_EQ(rig.sampler.points[0].x, 0.1);
  EXPECT_EQ(rig.sampler.points[1].x, 0.4);
  EXPECT_EQ(rig.sampler.points[2].x, 0.9);

  // Equal distances keep the first one found.
  rig.sampler.points = {{0.125, -2}, {0.375, -1}, {0.625, -1}, {0.875, -2}};
  rig.sampler.reducePoints();
  EXPECT_EQ(rig.sampler.points[1].x, 0.375);

  // No interior point with a rising chord in and a falling chord out.
  rig.sampler.points = {{0.1, -3}, {0.5, -2}, {0.9, -1}};
  EXPECT_THROW(rig.sampler.reducePoints(), ARSSampler::XNotLogConcave);
  EXPECT_EQ(rig.sampler.points.size(), 3u);
}

TEST(StartingPoints, ExtensionLevelFollowsLastScaleOffset) {
  // Log-density -x on (0, inf): below ln(1e-6) from x = 13.8 on.
  FunctionDensity exponential([](double x) { return x > 0 ? -x : -1000.0; });
  ARSSampler sampler;
  sampler.density = &exponential;
  sampler.upperBounded = false;
  sampler.extendUpperLimit();
  EXPECT_EQ(sampler.upperLimit, 20.0);
  EXPECT_DOUBLE_EQ(sampler.scaledLog(sampler.tolerance), -13.815510557964274);

  // A scale offset left by an earlier envelope survives reset and lowers the level.
  sampler.scaleOffset = 30.0;
  sampler.reset();
  sampler.density = &exponential;
  sampler.upperBounded = false;
  EXPECT_EQ(sampler.scaleOffset, 30.0);
  sampler.extendUpperLimit();
  EXPECT_EQ(sampler.upperLimit, 80.0);

  FunctionDensity mirrored([](double x) { return x < 0 ? x : -1000.0; });
  sampler.scaleOffset = 0.0;
  sampler.density = &mirrored;
  sampler.lowerBounded = false;
  sampler.extendLowerLimit();
  EXPECT_EQ(sampler.lowerLimit, -20.0);
}

}  // namespace
