// The interface of LogConcaveSampler: reproducible seeds, the batch call,
// counters, moves and the starting abscissae given by the caller.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "sampler/log_concave_sampler.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

double logistic(double x) { return -x - 2 * std::log1p(std::exp(-x)); }

TEST(LogConcaveSampler, SameSeedSameDrawsAndBatchEqualsSingleDraws) {
  ars::LogConcaveSampler a(logistic, -inf, inf, {}, 99);
  ars::LogConcaveSampler b(logistic, -inf, inf, {}, 99);
  ars::LogConcaveSampler c(logistic, -inf, inf, {}, 100);
  // Long enough for the table to be built and renewed inside the batch.
  std::vector<double> batch(50000);
  b.sample(batch.data(), batch.size());
  int differ = 0;
  for (double x : batch) {
    ASSERT_EQ(a.sample(), x);
    if (c.sample() != x) ++differ;
  }
  EXPECT_GT(differ, 49000);
  EXPECT_EQ(a.counts().evaluations, b.counts().evaluations);
  EXPECT_EQ(a.counts().draws, b.counts().draws);
  EXPECT_EQ(a.counts().squeezeAccepts, b.counts().squeezeAccepts);
  EXPECT_EQ(a.points(), b.points());
}

TEST(LogConcaveSampler, CountersAddUp) {
  ars::LogConcaveSampler s([](double x) { return -0.5 * x * x; }, -inf, inf, {}, 3);
  const std::uint64_t start = s.counts().evaluations;
  const std::size_t startPoints = s.points();
  EXPECT_GE(startPoints, 3u);
  EXPECT_GE(start, startPoints);
  for (int i = 0; i < 10000; ++i) s.sample();
  const auto& n = s.counts();
  EXPECT_EQ(n.squeezeAccepts + n.densityAccepts, 10000u);
  EXPECT_EQ(n.draws, 10000u + n.rejections);
  // Every evaluation after the start decided a draw the squeeze could not.
  EXPECT_EQ(n.evaluations - start, n.densityAccepts + n.rejections);
  // Every evaluated candidate refines the envelope, accepted or not.
  EXPECT_EQ(s.points(), startPoints + n.densityAccepts + n.rejections);
  EXPECT_EQ(n.hullRepairs, 0u);  // the hull without spreading never dips
}

TEST(LogConcaveSampler, MovedSamplerGoesOn) {
  ars::LogConcaveSampler a(logistic, -inf, inf, {}, 5);
  ars::LogConcaveSampler reference(logistic, -inf, inf, {}, 5);
  a.sample();
  reference.sample();
  ars::LogConcaveSampler b(std::move(a));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(b.sample(), reference.sample());
}

TEST(LogConcaveSampler, GivenStartsAreUsedAndTheLimitsCoverTheMass) {
  ars::LogConcaveSampler s([](double x) { return -0.5 * (x - 50) * (x - 50); }, -inf, inf, {49.0, 51.5}, 1);
  // Two given points and the outward search; no probe at 0 was needed.
  EXPECT_LT(s.counts().evaluations, 40u);
  // The hull's tails run to the unbounded ends: nothing is cut off.
  EXPECT_EQ(s.lowerLimit(), -inf);
  EXPECT_EQ(s.upperLimit(), inf);
}

}  // namespace
