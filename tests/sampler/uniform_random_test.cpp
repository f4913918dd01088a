#include "sampler/uniform_random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

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

TEST(UniformRandom, ClockSeedIsValid) {
  UniformRandom rnd;
  EXPECT_GE(rnd.state, 1);
  EXPECT_LE(rnd.state, 2147483646);
}

}  // namespace
