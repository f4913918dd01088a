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
    state = advance(state);
    return state * scale;
  }

  // multiplier * state mod (2^31 - 1) for a valid state. Since 2^31 is 1
  // modulo 2^31 - 1, the product's bits above bit 30 fold back onto its low
  // 31 bits; one subtraction finishes the reduction. The result is the same
  // as the 16-bit split of the 32-bit formulation, without a division.
  static constexpr std::int32_t advance(std::int32_t valid) {
    const std::uint64_t product = static_cast<std::uint64_t>(multiplier) *
                                  static_cast<std::uint64_t>(valid);
    std::uint64_t folded = (product & modulus) + (product >> 31);
    if (folded >= static_cast<std::uint64_t>(modulus)) folded -= modulus;
    return static_cast<std::int32_t>(folded);
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
