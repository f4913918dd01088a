#pragma once
#include <cstdint>

// Park and Miller's minimal standard generator: state = 16807 * state mod (2^31 - 1),
// returning doubles strictly between 0 and 1. The owner may write seed and
// state directly; a state outside 1..2147483646 is mapped into that range
// before it is used (see validState), so the generator never sticks at 0.
class UniformRandom {
 public:
  UniformRandom();

  void seedFromClock(int discardCount);
  void setSeed(std::int64_t value);
  void discard(int count);
  double next();

  // Reduces any integer modulo 2^31 - 1 into 0..2147483646, then replaces 0 by 1.
  static std::int32_t validState(std::int64_t value);

  std::int32_t seed = 1;
  std::int32_t state = 1;
};
