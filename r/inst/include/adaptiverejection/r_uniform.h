#pragma once
// R's own uniform generator as a 64-bit UniformRandomBitGenerator, so that
// set.seed repeats a run and RNGkind is honoured. unif_rand() has 32 bits
// of resolution (Mersenne-Twister's), too coarse for one draw: a million
// draws would repeat values. So each call takes two unif_rand()s, 32 bits
// from each, as rnorm's inversion combines two for its resolution.

// R's headers without their unprefixed macros (error, length, ...), which
// would break C++ headers included after them.
#ifndef R_NO_REMAP
#define R_NO_REMAP
#endif
#include <R.h>
#include <Rmath.h>

#include <cstdint>
#include <limits>

namespace adaptiverejection {

class RUniform {
 public:
  using result_type = std::uint64_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }
  result_type operator()() {
    const result_type high = bits32(unif_rand());
    return (high << 32) | bits32(unif_rand());
  }

 private:
  // The 32 bits of u in (0, 1); a user-supplied generator might return 1.
  static result_type bits32(double u) {
    return u < 1.0 ? static_cast<result_type>(u * 0x1p32) : 0xffffffffu;
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

}  // namespace adaptiverejection
