#include "log_density.h"

#include <Rcpp.h>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <cmath>
#include <stdexcept>
#include <string>

#include "rng_hand_back.h"
#include "sampler/argument_checks.h"

namespace {

std::string describe(SEXP v) {
  if (Rf_isFactor(v)) return "factor of length " + std::to_string(Rf_xlength(v));
  return std::string(Rf_type2char(TYPEOF(v))) + " vector of length " + std::to_string(Rf_xlength(v));
}

// The engine rejects these too, but in its own words; an R user should read
// what logpdf returned, in R's. `why` follows the message where the value
// has a likely cause.
double checked(double h, double x, const char* why = "") {
  if (std::isnan(h) || h == R_PosInf) {
    throw std::invalid_argument(std::string("logpdf returned ") + (R_IsNA(h) ? "NA" : std::isnan(h) ? "NaN" : "Inf") +
                                " at x = " + ars::detail::number(x) +
                                "; it must be a number, or -Inf where the density is zero" + why);
  }
  return h;
}

// One R call `f(x, extra...)`, built once: the argument vector is reused
// between calls unless the function kept a reference to it.
class RClosureLogDensity {
 public:
  RClosureLogDensity(SEXP f, SEXP extra) : call_(Rf_lcons(f, Rf_cons(R_NilValue, extra))) {
    SETCADR(call_, Rf_allocVector(REALSXP, 1));
  }
  double operator()(double x) {
    SEXP arg = CADR(call_);
    if (MAYBE_SHARED(arg)) {
      arg = Rf_allocVector(REALSXP, 1);
      SETCADR(call_, arg);
    }
    REAL(arg)[0] = x;
    rng::AroundRCall rng;
    SEXP value = Rcpp::Rcpp_fast_eval(call_, R_GlobalEnv);
    rng.after();
    // A factor is an integer vector, but its codes are no log-density.
    const int type = TYPEOF(value);
    if (Rf_xlength(value) != 1 || (type != REALSXP && type != INTSXP && type != LGLSXP) || Rf_isFactor(value)) {
      throw std::invalid_argument("logpdf must return one number, but at x = " + ars::detail::number(x) +
                                  " it returned a " + describe(value));
    }
    if (type == REALSXP) return checked(REAL(value)[0], x);
    const int i = type == INTSXP ? INTEGER(value)[0] : LOGICAL(value)[0];
    return checked(i == NA_INTEGER ? NA_REAL : static_cast<double>(i), x);
  }

 private:
  Rcpp::RObject call_;
};

// What a compiled log-density gets as data when it is given nothing: NaNs
// enough for the parameters of any density, so that reading them gives NaN
// and a clear error instead of a read through a null pointer.
SEXP noData() {
  static SEXP nans = [] {
    SEXP v = Rf_allocVector(REALSXP, 64);
    R_PreserveObject(v);
    for (R_xlen_t i = 0; i < 64; ++i) REAL(v)[i] = R_NaN;
    return v;
  }();
  return nans;
}

// Whether f lies inside a loaded shared object: a pointer to data, to the
// heap or to nothing read as a function would crash R when called. A pointer
// into some library's code that is not a double (*)(double, void*) cannot be
// told apart. The last pointer that passed is remembered: a Gibbs sampler
// hands over the same one at every update.
void checkFunctionAddress(CompiledLogDensity f) {
#if !defined(_WIN32)
  static CompiledLogDensity passed = nullptr;
  if (f == passed) return;
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(f), &info) == 0 || info.dli_fbase == nullptr) {
    throw std::invalid_argument(
        "logpdf is an external pointer whose address does not hold a pointer to a compiled function "
        "(make it with Rcpp::XPtr<logpdf_fn>(new logpdf_fn(&f)), typedef double (*logpdf_fn)(double, void *))");
  }
  passed = f;
#else
  (void)f;
#endif
}

}  // namespace

bool isCompiledLogDensity(SEXP logpdf) {
  if (TYPEOF(logpdf) == EXTPTRSXP) return true;
  if (Rf_isFunction(logpdf)) return false;
  throw std::invalid_argument("logpdf must be a function of one number or an external pointer to a "
                              "compiled double (*)(double, void*), not a " + describe(logpdf));
}

std::function<double(double)> logDensityFrom(SEXP logpdf, SEXP& params, SEXP extra) {
  if (!isCompiledLogDensity(logpdf)) {
    if (params != R_NilValue) {
      throw std::invalid_argument("params is for a compiled logpdf; an R function takes its parameters "
                                  "from where it was made, or as named arguments after it");
    }
    return RClosureLogDensity(logpdf, extra);
  }
  if (extra != R_NilValue) {
    throw std::invalid_argument(std::string("the named argument ") +
                                (TAG(extra) != R_NilValue ? CHAR(PRINTNAME(TAG(extra))) : "?") +
                                " is for an R function logpdf; a compiled one takes its parameters as params");
  }
  if (params != R_NilValue) {
    if (TYPEOF(params) == INTSXP || TYPEOF(params) == LGLSXP) params = Rf_coerceVector(params, REALSXP);
    if (TYPEOF(params) != REALSXP) {
      throw std::invalid_argument("params must be NULL or a numeric vector, not a " + describe(params));
    }
  }
  auto* slot = static_cast<CompiledLogDensity*>(R_ExternalPtrAddr(logpdf));
  if (slot == nullptr || *slot == nullptr) {
    throw std::invalid_argument(
        "logpdf is an external pointer to nothing (NULL, saved and reloaded, or sent to another "
        "R process such as a cluster worker: make the pointer in the process that uses it)");
  }
  const CompiledLogDensity f = *slot;
  checkFunctionAddress(f);
  const SEXP tag = params != R_NilValue ? params : R_ExternalPtrTag(logpdf);
  if (tag != R_NilValue) {
    void* data = static_cast<void*>(tag);
    return [f, data](double x) { return checked(f(x, data), x); };
  }
  void* data = static_cast<void*>(noData());
  return [f, data](double x) {
    return checked(f(x, data), x,
                   " (it was given neither params nor a tag on its pointer, and so a vector of NaN as data)");
  };
}
