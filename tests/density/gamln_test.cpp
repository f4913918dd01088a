#include "density/gamln.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Gamln, TableRows) {
  EXPECT_EQ(gamln(1), 0.0);
  EXPECT_EQ(gamln(2), 0.0);
  EXPECT_EQ(gamln(3), 0.693147180559945);  // the table's 15 digits, not ln 2
  EXPECT_EQ(gamln(4), 1.79175946922806);
  EXPECT_EQ(gamln(10), 12.8018274800815);
  EXPECT_EQ(gamln(50), 144.565743946345);
  EXPECT_EQ(gamln(100), 359.134205369575);
  // Every entry agrees with ln((n - 1)!) to its 15 digits.
  for (int n = 1; n <= 100; ++n) {
    const double exact = std::lgamma(static_cast<double>(n));
    EXPECT_NEAR(gamln(n), exact, 1e-14 * std::max(1.0, exact)) << n;
  }
}

TEST(Gamln, RationalBranchAndRecurrence) {
  EXPECT_NEAR(gamln(0.5), 0.57236494292470, 1e-14);
  EXPECT_NEAR(gamln(1.5), std::lgamma(1.5), 1e-14);
  EXPECT_NEAR(gamln(2.5), std::lgamma(2.5), 1e-14);
  EXPECT_NEAR(gamln(7.5), std::lgamma(7.5), 1e-14);
  EXPECT_NEAR(gamln(7.999999), 8.525159345424, 1e-12);
  EXPECT_NEAR(gamln(1e-300), std::lgamma(1e-300), 1e-12);
  for (double x = 0.05; x < 8; x += 0.173) {
    EXPECT_NEAR(gamln(x), std::lgamma(x), 5e-15 * std::max(1.0, std::fabs(std::lgamma(x)))) << x;
  }
}

TEST(Gamln, AsymptoticBranches) {
  EXPECT_NEAR(gamln(8.000001), 8.525163376707, 1e-12);
  EXPECT_NEAR(gamln(101), 363.7393755555635, 1e-11);
  EXPECT_NEAR(gamln(999.5), std::lgamma(999.5), 1e-11);
  EXPECT_NEAR(gamln(1000), std::lgamma(1000.0), 1e-11);
  // The integer part of these does not fit in 32 bits.
  EXPECT_NEAR(gamln(1e10), 220258509288.81, 0.01);
  EXPECT_NEAR(gamln(4294967296.5), std::lgamma(4294967296.5), 1e-4);
  EXPECT_EQ(gamln(std::numeric_limits<double>::infinity()),
            std::numeric_limits<double>::infinity());
}

TEST(Gamln, NotANumberReturnsPromptly) {
  testing::internal::CaptureStderr();
  EXPECT_TRUE(std::isnan(gamln(std::nan(""))));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(Gamln, NonPositiveArgumentWritesOneLine) {
  for (double x : {0.0, -1.0, -std::numeric_limits<double>::infinity()}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(gamln(x), 0.0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "GAMLN  ARGUMENT IS LESS THAN OR EQUAL TO ZERO \n");
  }
}

}  // namespace
