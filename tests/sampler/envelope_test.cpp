#include <gtest/gtest.h>

#include <cmath>

#include "support/engine_fixtures.h"

namespace {

class BetaEnvelope : public testing::Test {
 protected:
  BetaEnvelope() : beta(betaDensity(2, 3)), rig(beta) {
    rig.sampler.initPoints();
    rig.sampler.buildEnvelope();
  }
  ARSBetaDensity beta;
  SamplerRig rig;
};

TEST_F(BetaEnvelope, StartingEnvelopeScaleAndLogZero) {
  const ARSSampler& s = rig.sampler;
  ASSERT_EQ(s.segments.size(), 4u);
  const EnvelopeSegment& tail = s.segments[0];
  EXPECT_EQ(tail.upperLeftX, 1e-6);
  EXPECT_NEAR(tail.upperLeftY, -3.211510, 5e-7);
  EXPECT_EQ(tail.upperRightX, s.points[0].x);
  EXPECT_NEAR(tail.upperRightY, -3.098303, 5e-7);
  EXPECT_EQ(tail.squeezeLeftX, 0.0);
  EXPECT_EQ(tail.squeezeSlope, 0.0);

  // The largest hull value is the right secant extended back to x0.
  EXPECT_EQ(s.segments[1].upperLeftX, s.points[0].x);
  EXPECT_NEAR(s.segments[1].upperLeftY, 1.883840, 5e-7);
  EXPECT_NEAR(s.scaleOffset, 48.116160, 5e-7);
  EXPECT_EQ(s.scaleOffset, 50 - s.segments[1].upperLeftY);
  EXPECT_EQ(beta.logZero, -(s.scaleOffset + 51));
  EXPECT_NEAR(beta.logZero, -99.116160, 5e-7);
  EXPECT_EQ(beta.logDensity(0.0), beta.logZero);
  EXPECT_EQ(beta.densityValue(0.0), 0.0);
  EXPECT_EQ(s.scaledExp(beta.logDensity(1.0)), 0.0);

  // The pieces tile [lowerLimit, upperLimit]; the hull jumps only at the
  // outermost points, where the outer secants take over. Areas add up.
  double sum = 0;
  for (std::size_t i = 0; i < s.segments.size(); ++i) {
    const EnvelopeSegment& seg = s.segments[i];
    if (i > 0) {
      EXPECT_EQ(seg.upperLeftX, s.segments[i - 1].upperRightX);
    }
    if (i > 1 && i + 1 < s.segments.size()) {
      EXPECT_DOUBLE_EQ(seg.upperLeftY, s.segments[i - 1].upperRightY);
    }
    EXPECT_EQ(seg.cumulativeArea, sum);
    EXPECT_GT(seg.area, 0.0);
    sum += seg.area;
  }
  EXPECT_EQ(s.totalArea, sum);
  EXPECT_EQ(s.segments.back().upperRightX, 0.999999);
}

TEST_F(BetaEnvelope, InteriorPairMeetsAtSecantIntersection) {
  ARSSampler& s = rig.sampler;
  ASSERT_TRUE(s.insertPoint(0.3, beta.logDensity(0.3)));
  s.buildEnvelope();
  ASSERT_EQ(s.segments.size(), 6u);
  // [0.3, 0.5] is split where the secants through (0.05, 0.3) and (0.5, 0.95) meet.
  const EnvelopeSegment& left = s.segments[2];
  const EnvelopeSegment& right = s.segments[3];
  EXPECT_EQ(left.upperLeftX, 0.3);
  EXPECT_NEAR(left.upperRightX, 0.418196, 5e-7);
  EXPECT_NEAR(left.upperRightY, -1.358971, 5e-7);
  EXPECT_EQ(right.upperLeftX, left.upperRightX);
  const double middle = s.points[2].x;  // 0.5 up to rounding
  EXPECT_EQ(right.upperRightX, middle);
  // Both pieces carry the chord between 0.3 and the middle point.
  EXPECT_EQ(left.squeezeLeftX, 0.3);
  EXPECT_EQ(left.squeezeRightX, middle);
  EXPECT_EQ(right.squeezeLeftX, 0.3);
  EXPECT_EQ(right.squeezeRightX, middle);
  // The hull lies above the log-density everywhere between the points.
  for (double x = 0.06; x < 0.94; x += 0.01) {
    for (const EnvelopeSegment& seg : s.segments) {
      if (x >= seg.upperLeftX && x <= seg.upperRightX) {
        EXPECT_GE(seg.upperLeftY + (x - seg.upperLeftX) * seg.upperSlope + 1e-9,
                  beta.logDensity(x))
            << x;
      }
    }
  }
}

TEST(Envelope, NearlyParallelSecantsAreSpread) {
  ARSSampler s;
  const HullPoint q1{0, 0}, q2{1, 1}, q3{3, 2.9}, q4{4, 3.85};
  EXPECT_NEAR(s.intersectX(q1, q2, q3, q4), 1.5, 1e-12);
  EXPECT_NEAR(s.intersectY(q1, q2, q3, q4), 1.5125, 1e-12);
  // Well separated slopes meet where the secants do.
  const HullPoint r1{0, 0}, r2{1, 1}, r3{2, 1}, r4{3, 0};
  EXPECT_DOUBLE_EQ(s.intersectX(r1, r2, r3, r4), 1.5);
  EXPECT_DOUBLE_EQ(s.intersectY(r1, r2, r3, r4), 1.5);
}

TEST(Envelope, PieceAreaTrapezoidAndExact) {
  ARSSampler s;
  EXPECT_NEAR(s.pieceArea(0, 0, 1, 0.005), 1.0025063, 5e-8);
  EXPECT_NEAR(s.pieceArea(0, 0, 1, 0.02), 1.0100670, 5e-8);
  EXPECT_EQ(s.pieceArea(0, 0, 2, 0), 2.0);
}

TEST(Envelope, ScaledExpAndLogCutOff) {
  ARSSampler s;
  EXPECT_EQ(s.scaledExp(-50 - s.scaleOffset), 0.0);
  EXPECT_GT(s.scaledExp(-49.999), 0.0);
  EXPECT_EQ(s.scaledLog(0), -(s.scaleOffset + 51));
  EXPECT_EQ(s.scaledLog(-1), -51.0);
  // An offset whose sum with -50 - offset rounds to exactly -50.
  s.scaleOffset = 0.5;
  EXPECT_EQ(s.scaledExp(-50.5), 0.0);
  EXPECT_EQ(s.scaledLog(0), -51.5);
  EXPECT_EQ(s.scaledExp(s.scaledLog(0)), 0.0);
  EXPECT_DOUBLE_EQ(s.scaledLog(std::exp(2.0)), 1.5);

  EXPECT_EQ(shiftedExp(-20, -30), 0.0);
  EXPECT_EQ(shiftedExp(1, 0), std::exp(1.0));
  EXPECT_GT(shiftedExp(-49.5, 0), 0.0);
}

TEST(Envelope, GammaEnvelopeCoversItsSearchLimits) {
  ARSGammaDensity gamma = gammaDensity(10, 0.1);
  SamplerRig rig(gamma, false);
  rig.sampler.initPoints();
  rig.sampler.buildEnvelope();
  ASSERT_EQ(rig.sampler.segments.size(), 4u);
  EXPECT_EQ(rig.sampler.segments.front().upperLeftX, 2e-6);
  EXPECT_EQ(rig.sampler.segments.back().upperRightX, 10.0);
  EXPECT_GT(rig.sampler.totalArea, 0.0);
}

}  // namespace
