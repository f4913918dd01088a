#pragma once
// Uniforms strictly inside (0, 1) from any UniformRandomBitGenerator, and a
// small type-erased source over one, so that the sampler's loop is compiled
// once and still draws from the caller's generator.
#include <cstdint>
#include <limits>
#include <random>

namespace ars::detail {

// A 64-bit generator gives 53 random bits offset by half a step:
// ((g() >> 11) + 0.5) * 2^-53, never 0 and never 1. A 32-bit one is called
// twice for those bits; any other range goes through generate_canonical.
template <class URBG>
double uniform01(URBG& g) {
  constexpr auto lo = URBG::min();
  constexpr auto hi = URBG::max();
  if constexpr (lo == 0 && static_cast<std::uint64_t>(hi) == ~std::uint64_t{0}) {
    return (static_cast<double>(static_cast<std::uint64_t>(g()) >> 11) + 0.5) * 0x1p-53;
  } else if constexpr (lo == 0 && static_cast<std::uint64_t>(hi) == 0xffffffffu) {
    const std::uint64_t a = static_cast<std::uint64_t>(g());
    const std::uint64_t b = static_cast<std::uint64_t>(g());
    return (static_cast<double>(((a << 32) | b) >> 11) + 0.5) * 0x1p-53;
  } else {
    for (;;) {
      const double u = std::generate_canonical<double, std::numeric_limits<double>::digits>(g);
      if (u > 0 && u < 1) return u;
    }
  }
}

class UniformSource {
 public:
  template <class URBG>
  explicit UniformSource(URBG& g) : generator_(&g), next_(&call<URBG>) {}
  double next() { return next_(generator_); }

 private:
  template <class URBG>
  static double call(void* g) {
    return uniform01(*static_cast<URBG*>(g));
  }
  void* generator_;
  double (*next_)(void*);
};

}  // namespace ars::detail
