#pragma once
// A sampler object of the R side: the sampler and the log-density it calls,
// held behind an external pointer whose protected slot keeps the R objects
// the log-density needs alive.
#include <Rcpp.h>

#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

template <class Sampler>
struct HeldSampler {
  std::function<double(double)> logDensity;
  Sampler sampler;
  // The support as given: each conditional of a Gibbs update has it too.
  double lower = -std::numeric_limits<double>::infinity();
  double upper = std::numeric_limits<double>::infinity();
};

// The object behind xp; `what` is its R class, for the error on a dead pointer.
template <class Sampler>
HeldSampler<Sampler>& heldSampler(SEXP xp, const char* what) {
  if (TYPEOF(xp) != EXTPTRSXP || R_ExternalPtrAddr(xp) == nullptr) {
    throw std::invalid_argument(std::string("not a live ") + what + " (saved and reloaded?)");
  }
  return *static_cast<HeldSampler<Sampler>*>(R_ExternalPtrAddr(xp));
}

template <class Sampler>
void finalizeHeldSampler(SEXP xp) {
  delete static_cast<HeldSampler<Sampler>*>(R_ExternalPtrAddr(xp));
  R_ClearExternalPtr(xp);
}

// An external pointer that owns p and keeps `keep` alive; the sampler goes
// with the pointer's garbage collection or with R's exit.
template <class Sampler>
SEXP heldSamplerPointer(std::unique_ptr<HeldSampler<Sampler>> p, SEXP keep) {
  SEXP xp = PROTECT(R_MakeExternalPtr(p.get(), R_NilValue, keep));
  p.release();
  R_RegisterCFinalizerEx(xp, finalizeHeldSampler<Sampler>, TRUE);
  UNPROTECT(1);
  return xp;
}
