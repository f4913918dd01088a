#include "sampler/uniform_random.h"

#include <ctime>

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
