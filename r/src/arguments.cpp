#include "arguments.h"

#include <Rcpp.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "sampler/argument_checks.h"

namespace {

bool isSingleNumber(SEXP v) {
  return (TYPEOF(v) == REALSXP || TYPEOF(v) == INTSXP) && Rf_xlength(v) == 1;
}

}  // namespace

namespace {

// The value of a forced promise, or of a constant bound as it is.
SEXP valueOf(SEXP v, SEXP env) { return TYPEOF(v) == PROMSXP ? Rf_eval(v, env) : v; }

}  // namespace

std::vector<SEXP> symbols(const std::vector<std::string>& names) {
  std::vector<SEXP> out;
  for (const std::string& n : names) out.push_back(Rf_install(n.c_str()));
  return out;
}

ForcedArguments forceArguments(SEXP env, const std::vector<SEXP>& formals) {
  ForcedArguments f;
  f.dots = R_NilValue;
  for (std::size_t i = 0; i < formals.size() && i < mostFormals; ++i) {
    const SEXP v = Rf_findVarInFrame(env, formals[i]);
    if (TYPEOF(v) == PROMSXP) Rf_eval(v, env);
    f.bound[i] = v;
  }
  SEXP dots = Rf_findVarInFrame(env, R_DotsSymbol);
  if (TYPEOF(dots) != DOTSXP) return f;
  f.dots = dots;
  for (; dots != R_NilValue; dots = CDR(dots)) {
    if (TYPEOF(CAR(dots)) == PROMSXP) Rf_eval(CAR(dots), env);
  }
  return f;
}

void matchArguments(SEXP env, const ForcedArguments& forced, const std::vector<SEXP>& formals,
                    MatchedArguments& m) {
  if (formals.size() > mostFormals) throw std::logic_error("more formals than ForcedArguments holds");
  std::vector<bool> open(formals.size());
  m.value.reserve(formals.size());
  for (std::size_t i = 0; i < formals.size(); ++i) {
    const SEXP v = forced.bound[i];
    open[i] = v == R_MissingArg || v == R_UnboundValue;
    m.value.push_back(open[i] ? R_MissingArg : valueOf(v, env));
  }
  SEXP dots = forced.dots;
  SEXP last = R_NilValue;
  std::size_t next = 0;
  for (; dots != R_NilValue; dots = CDR(dots)) {
    const SEXP tag = TAG(dots);
    const SEXP value = valueOf(CAR(dots), env);
    if (tag == R_NilValue || CHAR(PRINTNAME(tag))[0] == '\0') {
      while (next < formals.size() && !open[next]) ++next;
      if (next == formals.size()) {
        throw std::invalid_argument("an unnamed argument too many: give arguments meant for logpdf by name");
      }
      m.value[next] = value;
      open[next] = false;
      continue;
    }
    const SEXP cell = Rf_cons(value, R_NilValue);
    SET_TAG(cell, tag);
    if (last == R_NilValue) {
      R_PreserveObject(cell);
      m.extra = cell;
    } else {
      SETCDR(last, cell);
    }
    last = cell;
  }
  if (open[0]) throw std::invalid_argument(std::string(CHAR(PRINTNAME(formals[0]))) + " is missing");
}

SEXP orNull(SEXP v) { return v == R_MissingArg ? R_NilValue : v; }

std::size_t drawCount(SEXP n) {
  if (Rf_xlength(n) > 1) return static_cast<std::size_t>(Rf_xlength(n));
  const double v = isSingleNumber(n) ? Rf_asReal(n) : R_NaN;
  // Below 2^52 every double is exact and fits a size_t.
  if (!(v >= 0 && v < 0x1p52 && v == std::floor(v))) {
    throw std::invalid_argument("n must be a non-negative whole number (or a vector as long as the draws wanted)" +
                                (isSingleNumber(n) ? ", not " + ars::detail::number(v) : std::string()));
  }
  return static_cast<std::size_t>(v);
}

double supportEnd(SEXP v, const char* name, double fallback) {
  if (v == R_MissingArg) return fallback;
  const double x = isSingleNumber(v) ? Rf_asReal(v) : R_NaN;
  if (std::isnan(x)) throw std::invalid_argument(std::string(name) + " must be a single number (not NA)");
  return x;
}

std::vector<double> startingPoints(SEXP starts) {
  if (starts == R_NilValue) return {};
  if (TYPEOF(starts) != REALSXP && TYPEOF(starts) != INTSXP) {
    throw std::invalid_argument("starts must be NULL or a numeric vector");
  }
  std::vector<double> out(static_cast<std::size_t>(Rf_xlength(starts)));
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = TYPEOF(starts) == REALSXP ? REAL(starts)[i]
             : INTEGER(starts)[i] == NA_INTEGER ? R_NaN : INTEGER(starts)[i];
    if (std::isnan(out[i])) throw std::invalid_argument("starts[" + std::to_string(i + 1) + "] is NA");
  }
  return out;
}

std::vector<double> splitPoints(SEXP splits, double lower, double upper) {
  if (splits == R_NilValue) return {};
  if (TYPEOF(splits) != REALSXP && TYPEOF(splits) != INTSXP) {
    throw std::invalid_argument("splits must be NULL, \"auto\" or a numeric vector");
  }
  ars::detail::checkSupport(lower, upper);
  std::vector<double> out(static_cast<std::size_t>(Rf_xlength(splits)));
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = TYPEOF(splits) == REALSXP ? REAL(splits)[i]
             : INTEGER(splits)[i] == NA_INTEGER ? R_NaN : INTEGER(splits)[i];
  }
  checkSplits(out, lower, upper);
  return out;
}

void checkSplits(const std::vector<double>& splits, double lower, double upper) {
  for (std::size_t i = 0; i < splits.size(); ++i) {
    const std::string name = "splits[" + std::to_string(i + 1) + "]";
    if (std::isnan(splits[i])) throw std::invalid_argument(name + " is NA");
    if (!(splits[i] > lower && splits[i] < upper)) {
      throw std::invalid_argument(name + " = " + ars::detail::number(splits[i]) + " lies outside the open support (" +
                                  ars::detail::number(lower) + ", " + ars::detail::number(upper) + ")");
    }
    if (i > 0 && !(splits[i] > splits[i - 1])) {
      throw std::invalid_argument("splits must increase, but " + name + " = " + ars::detail::number(splits[i]) +
                                  " follows " + ars::detail::number(splits[i - 1]));
    }
  }
}

// The engine has two transformations; both faces take exactly these.
constexpr const char* transformsTaken =
    "c must be 0 (T = log f) or -0.5 (T = -1/sqrt(f)), the two transformations the engine has";

ars::Transform transformOf(SEXP c) {
  if (c == R_MissingArg) return ars::Transform::InverseSqrt;
  if (!isSingleNumber(c)) throw std::invalid_argument(transformsTaken);
  return transformOf(Rf_asReal(c));
}

ars::Transform transformOf(double c) {
  if (c == 0) return ars::Transform::Log;
  if (c == -0.5) return ars::Transform::InverseSqrt;
  throw std::invalid_argument(std::string(transformsTaken) + ", not " + ars::detail::number(c));
}

void startsInside(const std::vector<double>& starts, double lower, double upper) {
  for (std::size_t i = 0; i < starts.size(); ++i) {
    if (!(starts[i] > lower && starts[i] < upper)) {
      throw std::invalid_argument("the starting abscissa " + ars::detail::number(starts[i]) +
                                  " lies outside the open support (" + ars::detail::number(lower) + ", " +
                                  ars::detail::number(upper) + ")");
    }
  }
}

// Far more points than any check needs: each is an evaluation of logpdf and
// joins the envelope, so a slip of the keyboard should not run for hours.
constexpr double mostCheckPoints = 1e6;

std::size_t checkPoints(SEXP check, const char* name) {
  if (check == R_MissingArg) return 0;
  const bool logical = TYPEOF(check) == LGLSXP && Rf_xlength(check) == 1;
  if (logical && LOGICAL(check)[0] != NA_LOGICAL) return LOGICAL(check)[0] ? 8 : 0;
  const double v = isSingleNumber(check) ? Rf_asReal(check) : R_NaN;
  if (!(v >= 0 && v <= mostCheckPoints && v == std::floor(v))) {
    const std::string given = logical                 ? ", not NA"
                              : isSingleNumber(check) ? ", not " + ars::detail::number(v)
                                                      : ", not a " + std::string(Rf_type2char(TYPEOF(check))) +
                                                            " of length " + std::to_string(Rf_xlength(check));
    throw std::invalid_argument(std::string(name) + " must be TRUE (8 points), FALSE or a whole number of points from 0 to " +
                                ars::detail::number(mostCheckPoints) + given);
  }
  return static_cast<std::size_t>(v);
}

bool automaticSplits(SEXP splits) {
  if (TYPEOF(splits) != STRSXP) return false;
  if (Rf_xlength(splits) == 1 && STRING_ELT(splits, 0) != NA_STRING && std::string(CHAR(STRING_ELT(splits, 0))) == "auto")
    return true;
  throw std::invalid_argument("splits must be NULL, \"auto\" or a numeric vector");
}

std::optional<ScanGrid> scanGrid(SEXP scan) {
  if (scan == R_MissingArg || scan == R_NilValue) return std::nullopt;
  constexpr const char* form = "scan must be c(from, to, points): finite from < to and 0 or 2 to 1000000 points";
  if ((TYPEOF(scan) != REALSXP && TYPEOF(scan) != INTSXP) || Rf_xlength(scan) != 3) throw std::invalid_argument(form);
  double v[3];
  for (int i = 0; i < 3; ++i) {
    v[i] = TYPEOF(scan) == REALSXP ? REAL(scan)[i] : INTEGER(scan)[i] == NA_INTEGER ? R_NaN : INTEGER(scan)[i];
  }
  if (!(std::isfinite(v[0]) && std::isfinite(v[1]) && v[0] < v[1])) {
    throw std::invalid_argument(std::string(form) + ", not from = " + ars::detail::number(v[0]) +
                                ", to = " + ars::detail::number(v[1]));
  }
  if (!(v[2] >= 0 && v[2] <= 1e6 && v[2] == std::floor(v[2]) && v[2] != 1)) {
    throw std::invalid_argument(std::string(form) + ", not points = " + ars::detail::number(v[2]));
  }
  return ScanGrid{v[0], v[1], static_cast<std::size_t>(v[2])};
}
