#pragma once
// The plain arguments of the entry points, checked with errors that name them.
#include <Rinternals.h>

#include <cstddef>
#include <string>
#include <vector>

#include "sampler/transformed_line.h"

// The arguments of f(n, ..., logpdf, lower = , upper = , ...) as its R
// wrapper hands them to .External: after n (if any), for each formal after
// the dots whether it was missing, then their values, then the dots. The dots without
// a name take, in order, the places of the missing formals (so that calls
// written when the formals came first still work); those with a name are
// for an R logpdf, which is thus never matched by a prefix (log = TRUE is
// dnorm's, not logpdf's).
struct MatchedArguments {
  MatchedArguments() = default;
  MatchedArguments(const MatchedArguments&) = delete;
  MatchedArguments& operator=(const MatchedArguments&) = delete;
  ~MatchedArguments() {
    if (extra != R_NilValue) R_ReleaseObject(extra);
  }
  std::vector<SEXP> value;  // in the order of the formals' names
  SEXP extra = R_NilValue;  // a tagged pairlist for logpdf (preserved), or NULL
};
// args starts at the first missing flag; names are the formals'.
void matchArguments(SEXP args, const std::vector<std::string>& names, MatchedArguments& m);

// A single non-negative whole number of draws, or the length of a longer
// vector (as rnorm takes n).
std::size_t drawCount(SEXP n);
// A single number that is not NA or NaN (either infinity allowed).
double supportEnd(SEXP v, const char* name);
// NULL or a numeric vector without NA.
std::vector<double> startingPoints(SEXP starts);

// NULL or a numeric vector of points strictly inside (lower, upper), each
// greater than the one before.
std::vector<double> splitPoints(SEXP splits, double lower, double upper);
// The same check of split points given as numbers (from other packages' C++).
void checkSplits(const std::vector<double>& splits, double lower, double upper);
// The transformation of c: 0 is log f, -0.5 is -1/sqrt(f); as a single
// number from R, or from other packages' C++.
ars::Transform transformOf(SEXP c);
ars::Transform transformOf(double c);
// Throws unless each start lies strictly inside (lower, upper).
void startsInside(const std::vector<double>& starts, double lower, double upper);
