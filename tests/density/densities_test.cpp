#include <gtest/gtest.h>

#include <cmath>

#include "density/beta_density.h"
#include "density/density_kinds.h"
#include "density/gamln.h"
#include "density/gamma_density.h"
#include "density/test_density.h"

namespace {

TEST(Densities, OutsideTheSupport) {
  ARSBetaDensity beta;
  ARSGammaDensity gamma;
  ARSTestDensity test;
  for (double x : {0.0, 1.0, -0.5, 1.5}) {
    EXPECT_EQ(beta.logDensity(x), -1000.0) << x;
    EXPECT_EQ(beta.densityValue(x), 0.0) << x;
    EXPECT_EQ(test.logDensity(x), -1000.0) << x;
    EXPECT_EQ(test.densityValue(x), 0.0) << x;
  }
  for (double x : {0.0, -1.0, -1e300}) {
    EXPECT_EQ(gamma.logDensity(x), -1000.0) << x;
    EXPECT_EQ(gamma.densityValue(x), 0.0) << x;
  }
  beta.logZero = -77.5;
  EXPECT_EQ(beta.logDensity(1.0), -77.5);
  EXPECT_EQ(beta.densityValue(1.0), 0.0);
}

TEST(Densities, BetaValues) {
  ARSBetaDensity beta;
  EXPECT_EQ(beta.logDensity(0.3), 0.0);
  beta.alpha = 2;
  beta.beta = 3;
  EXPECT_NEAR(beta.logDensity(0.5), -2.07944154168, 1e-11);
  EXPECT_NEAR(beta.densityValue(0.5), 0.125, 1e-15);
}

TEST(Densities, GammaValues) {
  ARSGammaDensity gamma;
  EXPECT_EQ(gamma.logDensity(2.0), -2.0);
  EXPECT_EQ(gamma.logDensity(0.25), -0.25);
  gamma.alpha = 10;
  gamma.beta = 0.1;
  EXPECT_NEAR(gamma.logDensity(1.0), 0.22402344986, 1e-11);
  EXPECT_NEAR(gamma.logDensity(1.0), -10 + 10 * std::log(10.0) - gamln(10), 1e-14);
}

TEST(Densities, TestDensityValues) {
  ARSTestDensity test;
  EXPECT_NEAR(test.logDensity(0.5), -20.93, 0.005);
  EXPECT_EQ(test.densityValue(0.5), std::exp(-12.0));
  EXPECT_NEAR(test.logDensity(0.015), -1.75, 0.01);
  EXPECT_NEAR(test.logDensity(0.99), -63, 1.0);
  EXPECT_LT(test.logDensity(0.03), test.logDensity(0.015));
}

TEST(Densities, KindTable) {
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(densityKindRow(k).kind, k);
  EXPECT_EQ(densityKindRow(5).alpha, 0.5);
  EXPECT_EQ(densityKindRow(5).beta, 2.0);
  EXPECT_FALSE(densityKindRow(3).upperBounded);
  EXPECT_TRUE(densityKindRow(6).upperBounded);
  EXPECT_EQ(densityKindRow(6).instance, DensityInstance::Test);
  EXPECT_EQ(densityKindRow(0).kind, 1);
}

}  // namespace
