#include "rng_hand_back.h"

#include <R.h>

namespace rng {

namespace {

SEXP seedBinding() {
  static const SEXP name = Rf_install(".Random.seed");
  return Rf_findVarInFrame(R_GlobalEnv, name);
}

std::uint64_t bits32(double u) {
  // A user-supplied generator might return 1.
  return u < 1.0 ? static_cast<std::uint64_t>(u * 0x1p32) : 0xffffffffu;
}

}  // namespace

bool& ahead() {
  static bool a = false;
  return a;
}

Session::Session() {
  GetRNGstate();
  // Without a .Random.seed, GetRNGstate seeded from the clock without saving
  // it: R code in logpdf would seed again, perhaps alike.
  ahead() = seedBinding() == R_UnboundValue;
}

Session::~Session() {
  // Not ahead: the last evaluation of logpdf wrote or read .Random.seed
  // after the last uniform, which saves the second write of most updates.
  if (ahead()) PutRNGstate();
  ahead() = false;
}

Uniform::result_type Uniform::operator()() {
  ahead() = true;
  const result_type high = bits32(unif_rand());
  return (high << 32) | bits32(unif_rand());
}

AroundRCall::AroundRCall() {
  if (ahead()) {
    PutRNGstate();
    ahead() = false;
  }
  seen_ = seedBinding();
  // Unwinding past an R error restores R's protection stack.
  PROTECT(seen_);
}

void AroundRCall::after() {
  if (seedBinding() != seen_) {
    GetRNGstate();
    ahead() = false;
  }
  UNPROTECT(1);
}

}  // namespace rng
