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
  double next() {
    if (state <= 0 || state == modulus) state = validState(state);
    // For every valid state the 64-bit product gives the same result as the
    // 16-bit split of the 32-bit formulation.
    state = static_cast<std::int32_t>(multiplier * state % modulus);
    return state * scale;
  }

  // Reduces any integer modulo 2^31 - 1 into 0..2147483646, then replaces 0 by 1.
  static std::int32_t validState(std::int64_t value);

  static constexpr std::int64_t modulus = 2147483647;  // 2^31 - 1
  static constexpr std::int64_t multiplier = 16807;
  // Slightly below 1 / (2^31 - 1): the largest state still gives a value below 1.
  static constexpr double scale = 4.6566128575e-10;

  std::int32_t seed = 1;
  std::int32_t state = 1;
};
