// Ticks at round values for axes of any location and scale.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/axis_ticks.h"
#include "display/axis_titles.h"

namespace {

// Seven pixels a character, as the recording canvas measures text.
int width(const std::string& text) { return static_cast<int>(text.size()) * 7; }

std::vector<std::string> labels(const AxisTicks& t) {
  std::vector<std::string> result;
  for (const AxisTick& tick : t.ticks) result.push_back(tick.label);
  return result;
}

using Labels = std::vector<std::string>;

TEST(AxisTicks, RoundStepsWithZeroAndTheDigitsTheyNeed) {
  EXPECT_EQ(labels(roundTicks(-3.72, 3.72, 240, width, 8)), (Labels{"-3", "-2", "-1", "0", "1", "2", "3"}));
  EXPECT_EQ(labels(roundTicks(0, 1, 240, width, 8)), (Labels{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
  EXPECT_EQ(labels(roundTicks(-0.74, 2.23, 240, width, 8)), (Labels{"-0.5", "0.0", "0.5", "1.0", "1.5", "2.0"}));
  EXPECT_EQ(labels(roundTicks(2, 4, 240, width, 8)), (Labels{"2.0", "2.5", "3.0", "3.5", "4.0"}));
  EXPECT_EQ(labels(roundTicks(0, 0.00123, 200, width, 8)), (Labels{"0.0000", "0.0005", "0.0010"}));
  // Tiny and huge steps read in the short scientific form.
  EXPECT_EQ(labels(roundTicks(-3.72e-6, 3.72e-6, 240, width, 8)), (Labels{"-2e-6", "0", "2e-6"}));
  EXPECT_EQ(labels(roundTicks(-2.2e-6, 9.2e-6, 400, width, 8)),
            (Labels{"-2e-6", "0", "2e-6", "4e-6", "6e-6", "8e-6"}));
  EXPECT_EQ(labels(roundTicks(0, 3e7, 400, width, 8)), (Labels{"0", "5e6", "1e7", "1.5e7", "2e7", "2.5e7", "3e7"}));
  // Every tick stands in range at a multiple of its step.
  const AxisTicks t = roundTicks(0.3, 0.9, 240, width, 8);
  EXPECT_EQ(labels(t), (Labels{"0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9"}));
  for (const AxisTick& tick : t.ticks) EXPECT_TRUE(tick.value >= 0.3 - 1e-12 && tick.value <= 0.9 + 1e-12);
}

TEST(AxisTicks, AnOffsetWhenTheLocationDwarfsTheScale) {
  const AxisTicks far = roundTicks(8e8 - 3.72, 8e8 + 3.72, 240, width, 8);
  EXPECT_EQ(far.offsetText, "8e8");
  EXPECT_EQ(far.offset, 8e8);
  EXPECT_EQ(labels(far), (Labels{"-3", "-2", "-1", "0", "1", "2", "3"}));
  EXPECT_EQ(far.ticks.front().value, 8e8 - 3);
  // Four significant digits still read directly.
  EXPECT_EQ(roundTicks(1000, 1010, 240, width, 8).offsetText, "");
  EXPECT_EQ(roundTicks(10000, 10001, 240, width, 8).offsetText, "10000");
  EXPECT_EQ(roundTicks(-8e8 - 3.72, -8e8 + 3.72, 240, width, 8).offsetText, "-8e8");
  EXPECT_EQ(xAxisTitle("-8e8"), "x + 8e8");
  EXPECT_EQ(xAxisTitle("8e8"), "x \xe2\x88\x92 8e8");
  EXPECT_EQ(xAxisTitle(""), "x");
  EXPECT_EQ(valueAtResolution(800000000.1234, 7.44), "800000000.123");
  EXPECT_EQ(valueAtResolution(-3.5123e-7, 7.44e-6), "-3.51e-07");
  EXPECT_EQ(valueAtResolution(1e-12, 7.44), "0");
  EXPECT_EQ(shortNumber(8e8), "8e8");
  EXPECT_EQ(shortNumber(1000), "1000");
  EXPECT_EQ(shortNumber(-123456.5), "-123456.5");
  EXPECT_EQ(shortNumber(1.5e-7), "1.5e-7");
}

TEST(AxisTicks, LabelsNeverOverlap) {
  for (int pixels : {40, 90, 160, 400, 1500}) {
    for (double high : {1.0, 7.44, 123.0, 5e5}) {
      const AxisTicks t = roundTicks(-high / 3, high, pixels, width, 8);
      ASSERT_FALSE(t.ticks.empty());
      for (std::size_t i = 1; i < t.ticks.size(); ++i) {
        const double apart = (t.ticks[i].value - t.ticks[i - 1].value) * pixels / (high * 4 / 3);
        EXPECT_GE(apart, (width(t.ticks[i].label) + width(t.ticks[i - 1].label)) / 2.0 + 8)
            << pixels << " px over " << high;
      }
    }
  }
  EXPECT_TRUE(roundTicks(1, 1, 240, width, 8).ticks.empty());
}

}  // namespace
