#pragma once
// Random bits and uniforms strictly inside (0, 1) from any
// UniformRandomBitGenerator, and a small type-erased generator over one, so
// that the sampler's loop is compiled once and still draws from the caller's
// generator.
#include <cstdint>
#include <limits>
#include <random>

namespace ars::detail {

// 64 random bits: a 64-bit generator's own, a 32-bit one's in pairs (first
// call high), any other range through uniform_int_distribution.
template <class URBG>
std::uint64_t generatorBits(URBG& g) {
  constexpr std::uint64_t lo = static_cast<std::uint64_t>(URBG::min());
  constexpr std::uint64_t hi = static_cast<std::uint64_t>(URBG::max());
  if constexpr (lo == 0 && hi == std::numeric_limits<std::uint64_t>::max()) {
    return static_cast<std::uint64_t>(g());
  } else if constexpr (lo == 0 && hi == 0xffffffffu) {
    const std::uint64_t a = static_cast<std::uint64_t>(g());
    return (a << 32) | static_cast<std::uint64_t>(g());
  } else {
    std::uniform_int_distribution<std::uint64_t> all;
    return all(g);
  }
}

// The top 53 bits offset by half a step: ((bits >> 11) + 0.5) * 2^-53,
// never 0 and never 1.
inline double unitFromBits(std::uint64_t bits) {
  return (static_cast<double>(bits >> 11) + 0.5) * 0x1p-53;
}

template <class URBG>
double uniform01(URBG& g) {
  return unitFromBits(generatorBits(g));
}

// A 64-bit UniformRandomBitGenerator that draws from the caller's generator.
class UniformSource {
 public:
  using result_type = std::uint64_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }

  template <class URBG>
  explicit UniformSource(URBG& g) : generator_(&g), bits_(&call<URBG>) {}
  result_type operator()() { return bits_(generator_); }
  double next() { return unitFromBits(bits_(generator_)); }

 private:
  template <class URBG>
  static std::uint64_t call(void* g) {
    return generatorBits(*static_cast<URBG*>(g));
  }
  void* generator_;
  std::uint64_t (*bits_)(void*);
};

}  // namespace ars::detail
