#include "log_density.h"

#include <Rcpp.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "sampler/argument_checks.h"

namespace {

std::string describe(SEXP v) {
  return std::string(Rf_type2char(TYPEOF(v))) + " vector of length " + std::to_string(Rf_xlength(v));
}

// The engine rejects these too, but in its own words; an R user should read
// what logpdf returned, in R's.
double checked(double h, double x) {
  if (std::isnan(h) || h == R_PosInf) {
    throw std::invalid_argument(std::string("logpdf returned ") + (R_IsNA(h) ? "NA" : std::isnan(h) ? "NaN" : "Inf") +
                                " at x = " + ars::detail::number(x) +
                                "; it must be a number, or -Inf where the density is zero");
  }
  return h;
}

// One R call `f(x)`, built once: the argument vector is reused between calls
// unless the function kept a reference to it.
class RClosureLogDensity {
 public:
  explicit RClosureLogDensity(SEXP f) : call_(Rf_lang2(f, R_NilValue)) {
    SETCADR(call_, Rf_allocVector(REALSXP, 1));
  }
  double operator()(double x) {
    SEXP arg = CADR(call_);
    if (MAYBE_SHARED(arg)) {
      arg = Rf_allocVector(REALSXP, 1);
      SETCADR(call_, arg);
    }
    REAL(arg)[0] = x;
    SEXP value = Rcpp::Rcpp_fast_eval(call_, R_GlobalEnv);
    if (Rf_xlength(value) != 1 || (TYPEOF(value) != REALSXP && TYPEOF(value) != INTSXP)) {
      throw std::invalid_argument("logpdf must return one number, but at x = " + ars::detail::number(x) +
                                  " it returned a " + describe(value));
    }
    if (TYPEOF(value) == INTSXP) {
      const int i = INTEGER(value)[0];
      return checked(i == NA_INTEGER ? R_NaN : static_cast<double>(i), x);
    }
    return checked(REAL(value)[0], x);
  }

 private:
  Rcpp::RObject call_;
};

}  // namespace

bool isCompiledLogDensity(SEXP logpdf) {
  if (TYPEOF(logpdf) == EXTPTRSXP) return true;
  if (Rf_isFunction(logpdf)) return false;
  throw std::invalid_argument("logpdf must be a function of one number or an external pointer to a "
                              "compiled double (*)(double, void*), not a " + describe(logpdf));
}

std::function<double(double)> logDensityFrom(SEXP logpdf, SEXP& params) {
  if (!isCompiledLogDensity(logpdf)) {
    if (params != R_NilValue) {
      throw std::invalid_argument("params is for a compiled logpdf; an R function takes its parameters "
                                  "from where it was made");
    }
    return RClosureLogDensity(logpdf);
  }
  if (params != R_NilValue) {
    if (TYPEOF(params) == INTSXP || TYPEOF(params) == LGLSXP) params = Rf_coerceVector(params, REALSXP);
    if (TYPEOF(params) != REALSXP) {
      throw std::invalid_argument("params must be NULL or a numeric vector, not a " + describe(params));
    }
  }
  auto* slot = static_cast<CompiledLogDensity*>(R_ExternalPtrAddr(logpdf));
  if (slot == nullptr || *slot == nullptr) {
    throw std::invalid_argument("logpdf is an external pointer to nothing (NULL, or saved and reloaded)");
  }
  const CompiledLogDensity f = *slot;
  SEXP tag = params != R_NilValue ? params : R_ExternalPtrTag(logpdf);
  void* data = tag == R_NilValue ? nullptr : static_cast<void*>(tag);
  return [f, data](double x) { return checked(f(x, data), x); };
}
