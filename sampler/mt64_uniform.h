#pragma once
#include <cstdint>
#include <random>

// Uniforms strictly between 0 and 1 from the 64-bit Mersenne twister: 53
// random bits, offset by half a step so that neither end is ever returned.
// A period of 2^19937 - 1 suits runs far longer than the program's generator.
class Mt64Uniform {
 public:
  explicit Mt64Uniform(std::uint64_t seed = std::mt19937_64::default_seed) : engine_(seed) {}

  void seed(std::uint64_t value) { engine_.seed(value); }
  double next() { return (static_cast<double>(engine_() >> 11) + 0.5) * 0x1p-53; }

 private:
  std::mt19937_64 engine_;
};
