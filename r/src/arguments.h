#pragma once
// The plain arguments of the entry points, checked with errors that name them.
#include <Rinternals.h>

#include <cstddef>
#include <vector>

// A single non-negative whole number of draws.
std::size_t drawCount(SEXP n);
// A single number that is not NA or NaN (either infinity allowed).
double supportEnd(SEXP v, const char* name);
// NULL or a numeric vector without NA.
std::vector<double> startingPoints(SEXP starts);

// NULL or a numeric vector of points strictly inside (lower, upper), each
// greater than the one before.
std::vector<double> splitPoints(SEXP splits, double lower, double upper);
// Throws unless each start lies strictly inside (lower, upper).
void startsInside(const std::vector<double>& starts, double lower, double upper);
