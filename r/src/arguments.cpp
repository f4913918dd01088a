#include "arguments.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "sampler/argument_checks.h"

namespace {

bool isSingleNumber(SEXP v) {
  return (TYPEOF(v) == REALSXP || TYPEOF(v) == INTSXP) && Rf_xlength(v) == 1;
}

}  // namespace

void matchArguments(SEXP args, const std::vector<std::string>& names, MatchedArguments& m) {
  std::vector<bool> open(names.size());
  for (std::size_t i = 0; i < names.size(); ++i, args = CDR(args)) open[i] = Rf_asLogical(CAR(args)) != 0;
  for (std::size_t i = 0; i < names.size(); ++i, args = CDR(args)) m.value.push_back(CAR(args));
  SEXP last = R_NilValue;
  std::size_t next = 0;
  for (; args != R_NilValue; args = CDR(args)) {
    const SEXP tag = TAG(args);
    if (tag == R_NilValue || CHAR(PRINTNAME(tag))[0] == '\0') {
      while (next < names.size() && !open[next]) ++next;
      if (next == names.size()) {
        throw std::invalid_argument("an unnamed argument too many: give arguments meant for logpdf by name");
      }
      m.value[next] = CAR(args);
      open[next] = false;
      continue;
    }
    const SEXP cell = Rf_cons(CAR(args), R_NilValue);
    SET_TAG(cell, tag);
    if (last == R_NilValue) {
      R_PreserveObject(cell);
      m.extra = cell;
    } else {
      SETCDR(last, cell);
    }
    last = cell;
  }
  if (open[0]) throw std::invalid_argument(names[0] + " is missing");
}

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

double supportEnd(SEXP v, const char* name) {
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
    throw std::invalid_argument("splits must be NULL or a numeric vector");
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
