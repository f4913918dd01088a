#include "sampler/uniform_random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

TEST(UniformRandom, SequenceFromSeed1001) {
  UniformRandom rnd;
  rnd.setSeed(1001);
  const std::int32_t states[] = {16823807, 1437366492, 775085941, 233607685, 644255079};
  const double values[] = {0.00783419559882985, 0.6693259287586871, 0.36092751585280863,
                           0.108782054958181, 0.3000046484381078};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rnd.next(), values[i]) << i;
    EXPECT_EQ(rnd.state, states[i]) << i;
  }
  EXPECT_EQ(rnd.seed, 1001);
}

TEST(UniformRandom, SequenceFromSeed1AndDiscard) {
  UniformRandom rnd;
  rnd.seed = rnd.state = 1;
  rnd.discard(0);
  EXPECT_EQ(rnd.state, 1);
  EXPECT_EQ(rnd.next(), 7.826369229600251e-06);
  EXPECT_EQ(rnd.state, 16807);
  EXPECT_EQ(rnd.next(), 0.13153778764189142);
  EXPECT_EQ(rnd.state, 282475249);
  EXPECT_EQ(rnd.next(), 0.7556053193155113);
  EXPECT_EQ(rnd.state, 1622650073);
  rnd.state = 1;
  rnd.discard(3);
  EXPECT_EQ(rnd.state, 1622650073);
}

TEST(UniformRandom, ExtremeStatesStayStrictlyInsideZeroOne) {
  UniformRandom rnd;
  rnd.state = 2147483646;  // -1 mod the modulus: the next state is modulus - 16807
  const double v = rnd.next();
  EXPECT_GT(v, 0.0);
  EXPECT_LT(v, 1.0);
  EXPECT_EQ(rnd.state, 2147483647 - 16807);
  // The largest state maps below 1.
  EXPECT_LT(2147483646 * 4.6566128575e-10, 1.0);
}

TEST(UniformRandom, InvalidSeedsAreMappedIntoRange) {
  EXPECT_EQ(UniformRandom::validState(0), 1);
  EXPECT_EQ(UniformRandom::validState(2147483647), 1);
  EXPECT_EQ(UniformRandom::validState(-1), 2147483646);
  EXPECT_EQ(UniformRandom::validState(2147483648LL), 1);
  EXPECT_EQ(UniformRandom::validState(1001), 1001);
  EXPECT_EQ(UniformRandom::validState(std::numeric_limits<std::int32_t>::min()), 2147483646);

  UniformRandom rnd;
  for (std::int32_t bad : {0, -5, std::numeric_limits<std::int32_t>::min(), 2147483647}) {
    rnd.seed = rnd.state = bad;  // written directly by an owner
    for (int i = 0; i < 3; ++i) {
      const double v = rnd.next();
      EXPECT_GT(v, 0.0) << bad;
      EXPECT_LT(v, 1.0) << bad;
    }
  }
  rnd.setSeed(0);
  EXPECT_EQ(rnd.seed, 1);
  EXPECT_EQ(rnd.state, 1);
}

// The folded reduction in next() against two independent formulations: the
// 64-bit remainder and the 16-bit split of the 32-bit arithmetic.
std::int32_t byRemainder(std::int32_t state) {
  return static_cast<std::int32_t>(16807LL * state % 2147483647LL);
}

std::int32_t bySixteenBitSplit(std::int32_t state) {
  const std::int32_t hi = state / 65536;
  std::int32_t a = (state - hi * 65536) * 16807;
  std::int32_t b = hi * 16807;
  const std::int32_t carry = a / 65536;
  b = b + carry;
  a = a - carry * 65536;
  const std::int32_t q = b / 32768;
  const std::int32_t r = b - q * 32768;
  std::int32_t next = r * 65536 + a - 2147483647 + q;
  if (next < 0) next += 2147483647;
  return next;
}

TEST(UniformRandom, FoldedReductionMatchesRemainderOnEveryKindOfState) {
  std::vector<std::int32_t> states;
  for (std::int32_t s = 1; s <= 200000; ++s) states.push_back(s);
  for (std::int32_t s = 2147483646; s > 2147483646 - 200000; --s) states.push_back(s);
  // Around every state where the folded high part steps (multiples of
  // 2^31 / 16807) and where the folded sum reaches the modulus.
  for (std::int64_t k = 1; k < 16807; ++k) {
    const std::int64_t edge = (k << 31) / 16807;
    for (std::int64_t d = -2; d <= 2; ++d) {
      const std::int64_t s = edge + d;
      if (s >= 1 && s <= 2147483646) states.push_back(static_cast<std::int32_t>(s));
    }
  }
  std::uint64_t lcg = 88172645463325252ULL;
  for (int i = 0; i < 1000000; ++i) {
    lcg = lcg * 6364136223846793005ULL + 1442695040888963407ULL;
    states.push_back(static_cast<std::int32_t>((lcg >> 33) % 2147483646 + 1));
  }
  std::size_t mismatches = 0;
  for (std::int32_t s : states) {
    const std::int32_t expected = byRemainder(s);
    if (UniformRandom::advance(s) != expected || bySixteenBitSplit(s) != expected) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(UniformRandom::advance(1), 16807);
  EXPECT_EQ(UniformRandom::advance(2147483646), 2147483647 - 16807);
  // The inverse of the multiplier: the state whose successor is 1.
  EXPECT_EQ(UniformRandom::advance(1407677000), 1);
}

TEST(UniformRandom, ClockSeedIsValid) {
  UniformRandom rnd;
  EXPECT_GE(rnd.state, 1);
  EXPECT_LE(rnd.state, 2147483646);
}

}  // namespace
