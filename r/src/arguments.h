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
