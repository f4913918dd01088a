#pragma once
// R's own uniform generator as a 64-bit UniformRandomBitGenerator, so that
// set.seed repeats a run and RNGkind is honoured. Each call takes one
// unif_rand() (0 < u < 1) and scales it to 64 bits: the sampler's uniforms
// then have the resolution of runif's.
#include <R.h>
#include <Rmath.h>

#include <cstdint>
#include <limits>

class RUniform {
 public:
  using result_type = std::uint64_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }
  result_type operator()() {
    const double u = unif_rand();
    // A user-supplied generator might return 1; keep the cast in range.
    if (!(u < 1.0)) return max();
    return static_cast<result_type>(u * 0x1p64);
  }
};

// GetRNGstate on entry, PutRNGstate on every way out, exceptions included.
class RngScope {
 public:
  RngScope() { GetRNGstate(); }
  ~RngScope() { PutRNGstate(); }
  RngScope(const RngScope&) = delete;
  RngScope& operator=(const RngScope&) = delete;
};
