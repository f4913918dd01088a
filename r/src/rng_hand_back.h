#pragma once
// R's generator shared between the draw loop and R code that logpdf runs.
// GetRNGstate copies .Random.seed into R's one internal state; unif_rand()
// then moves that state on without writing .Random.seed back. R code that
// draws (runif, sample.int, rlogconcave itself) starts with its own
// GetRNGstate: had the draw loop not handed its state back first, that code
// would rewind the generator and the loop would reuse its uniforms. So
// before an R function is called the state goes back to .Random.seed, but
// only if uniforms were drawn since it was last written or read, and after
// the call it is read again, but only if the call wrote a new .Random.seed
// (PutRNGstate always binds a fresh vector). A compiled log-density cannot
// call R and needs neither.
#include <Rinternals.h>

#include <cstdint>
#include <limits>

namespace rng {

// True while the internal state may be ahead of .Random.seed.
bool& ahead();

// GetRNGstate on entry, PutRNGstate on every way out (exceptions included)
// unless .Random.seed already holds the state.
class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
};

// R's unif_rand() as a 64-bit UniformRandomBitGenerator, two calls a value
// (32 bits from each), as adaptiverejection::RUniform; it marks the state
// ahead of .Random.seed.
class Uniform {
 public:
  using result_type = std::uint64_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }
  result_type operator()();
};

// Around one call of an R function: the constructor hands the state back to
// R if it is ahead; after() takes it again if the call drew from R's
// generator (or set its seed). The .Random.seed seen before the call stays
// protected until after(), so that a new one cannot reuse its address.
class AroundRCall {
 public:
  AroundRCall();
  void after();

 private:
  SEXP seen_;
};

}  // namespace rng
