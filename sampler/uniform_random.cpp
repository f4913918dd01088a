#include "sampler/uniform_random.h"

#include <ctime>

namespace {
constexpr std::int64_t modulus = 2147483647;
constexpr std::int64_t multiplier = 16807;
// Slightly below 1 / (2^31 - 1): the largest state still gives a value below 1.
constexpr double scale = 4.6566128575e-10;
}  // namespace

UniformRandom::UniformRandom() { seedFromClock(100); }

std::int32_t UniformRandom::validState(std::int64_t value) {
  std::int64_t reduced = value % modulus;
  if (reduced < 0) reduced += modulus;
  return static_cast<std::int32_t>(reduced == 0 ? 1 : reduced);
}

void UniformRandom::seedFromClock(int discardCount) {
  setSeed(static_cast<std::int64_t>(std::time(nullptr)));
  discard(discardCount);
}

void UniformRandom::setSeed(std::int64_t value) {
  seed = validState(value);
  state = seed;
}

void UniformRandom::discard(int count) {
  for (int i = 0; i < count; ++i) next();
}

double UniformRandom::next() {
  if (state <= 0 || state == modulus) state = validState(state);
  // For every valid state the 64-bit product gives the same result as the
  // 16-bit split of the 32-bit formulation.
  state = static_cast<std::int32_t>(multiplier * state % modulus);
  return state * scale;
}
