#pragma once
// The plain arguments of the entry points, checked with errors that name them.
#include <Rinternals.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "sampler/transformed_line.h"

// The arguments of f(n, ..., logpdf, lower, upper, ...), read from f's
// frame env: the formals after the dots (formals, as symbols) that were
// given, and the dots. The dots without a name take, in order, the places of
// the formals not given (so that calls written when the formals came first
// still work); those with a name are for an R logpdf, which is thus never
// matched by a prefix (log = TRUE is dnorm's, not logpdf's). A formal still
// missing is R_MissingArg: the readers below give its default. (Missing
// formals without defaults in R are what makes "given" visible here without
// R's missing(), which would cost a Gibbs update a good part of its time.)
struct MatchedArguments {
  MatchedArguments() = default;
  MatchedArguments(const MatchedArguments&) = delete;
  MatchedArguments& operator=(const MatchedArguments&) = delete;
  ~MatchedArguments() {
    if (extra != R_NilValue) R_ReleaseObject(extra);
  }
  std::vector<SEXP> value;  // in the order of formals
  SEXP extra = R_NilValue;  // a tagged pairlist for logpdf (preserved), or NULL
};
// The bindings of the formals (in their order) and the dots in env, their
// promises forced. Forcing runs R code, whose errors unwind by longjmp:
// call it where no C++ object with a destructor is alive (at the top of an
// entry point, outside guarded()), so that nothing is skipped and no
// unwind protection is paid for.
constexpr std::size_t mostFormals = 12;
struct ForcedArguments {
  SEXP bound[mostFormals];
  SEXP dots;
};
ForcedArguments forceArguments(SEXP env, const std::vector<SEXP>& formals);
void matchArguments(SEXP env, const ForcedArguments& forced, const std::vector<SEXP>& formals,
                    MatchedArguments& m);
std::vector<SEXP> symbols(const std::vector<std::string>& names);
// NULL for a formal not given.
SEXP orNull(SEXP v);

// A single non-negative whole number of draws, or the length of a longer
// vector (as rnorm takes n).
std::size_t drawCount(SEXP n);
// A single number that is not NA or NaN (either infinity allowed); fallback
// for a formal not given.
double supportEnd(SEXP v, const char* name, double fallback = R_NaN);
// NULL or a numeric vector without NA.
std::vector<double> startingPoints(SEXP starts);

// NULL or a numeric vector of points strictly inside (lower, upper), each
// greater than the one before.
std::vector<double> splitPoints(SEXP splits, double lower, double upper);
// True for splits = "auto" (split points found from the evaluations).
bool automaticSplits(SEXP splits);
// scan = c(from, to, points): with automatic splits, a grid of evaluations
// over [from, to] at every build, for modes no other evaluation comes near.
struct ScanGrid {
  double from, to;
  std::size_t points;
};
std::optional<ScanGrid> scanGrid(SEXP scan);
// The same check of split points given as numbers (from other packages' C++).
void checkSplits(const std::vector<double>& splits, double lower, double upper);
// The transformation of c: 0 is log f, -0.5 is -1/sqrt(f) (also when not
// given); as a single number from R, or from other packages' C++.
ars::Transform transformOf(SEXP c);
ars::Transform transformOf(double c);
// The extra points a check asks for (`name` is the argument's): FALSE or
// not given is none, TRUE is 8, a whole number is that many.
std::size_t checkPoints(SEXP check, const char* name = "check");
// Throws unless each start lies strictly inside (lower, upper).
void startsInside(const std::vector<double>& starts, double lower, double upper);
