#pragma once
// The plain arguments of the entry points, checked with errors that name them.
#include <Rinternals.h>

#include <cstddef>
#include <vector>

#include "sampler/transformed_line.h"

// A single non-negative whole number of draws.
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
