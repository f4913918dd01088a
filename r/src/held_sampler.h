#pragma once
// A sampler object of the R side: the sampler and the log-density it calls,
// held behind an external pointer whose protected slot keeps the R objects
// the log-density needs alive.
#include <Rcpp.h>

#include "sampler/not_log_concave.h"

#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

template <class Sampler>
struct HeldSampler {
  std::function<double(double)> logDensity;
  Sampler sampler;
  // The support as given: each conditional of a Gibbs update has it too.
  double lower = -std::numeric_limits<double>::infinity();
  double upper = std::numeric_limits<double>::infinity();
  // The starts given, the T-concave sampler's transformation (c) and split
  // points: what rebuilds the sampler.
  std::vector<double> starts;
  double c = 0;
  std::vector<double> splits;
  bool automaticSplits = false;  // splits found from the evaluations instead
  // Set when the log-density failed part-way through a draw or an update,
  // which may leave the envelope half-built.
  bool broken = false;
  // Set while the sampler draws or updates: its logpdf may not use it then.
  bool busy = false;
};

// Marks a sampler busy for one draw or update. A logpdf that called the
// same sampler would change the envelope under the draw that called it
// (and, unrefused, recurse until the C stack runs out).
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) {
    if (busy_) throw std::logic_error("a sampler cannot be used from inside its own logpdf");
    busy_ = true;
  }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

// Runs op (a draw or an update) on held's sampler, refusing a logpdf's use
// of its own sampler. A sampler whose logpdf failed part-way is rebuilt from
// its log-density (as it now evaluates; a compiled one with the params of
// the last update that succeeded) by rebuild() before it is used again:
// draws stay exact, only the envelope learned so far is lost.
template <class Held, class Rebuild, class Op>
auto withSampler(Held& held, Rebuild&& rebuild, Op&& op) {
  BusyScope busy(held.busy);
  try {
    if (held.broken) {
      rebuild();
      held.broken = false;
    }
    return op();
  } catch (const ars::NotLogConcave&) {
    // A refusal stands until the next update: the sampler keeps raising it.
    throw;
  } catch (...) {
    held.broken = true;
    throw;
  }
}

// The object behind xp; `what` is its R class, for the error on a dead pointer.
template <class Sampler>
HeldSampler<Sampler>& heldSampler(SEXP xp, const char* what) {
  if (TYPEOF(xp) != EXTPTRSXP || R_ExternalPtrAddr(xp) == nullptr) {
    throw std::invalid_argument(std::string("not a live ") + what +
                                " (saved and reloaded, or sent to another R process such as a "
                                "cluster worker? make the sampler where it draws)");
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
