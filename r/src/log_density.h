#pragma once
// The log-density an R user hands over: an R function of one number, or an
// external pointer to a compiled `double (*)(double, void*)`.
#include <Rinternals.h>

#include <functional>

// The signature of a compiled log-density; the void* is params when given,
// else the external pointer's tag (an R object, e.g. a numeric vector of
// parameters), or NULL.
using CompiledLogDensity = double (*)(double, void*);

// Calls logpdf with one number. An R function is evaluated under unwind
// protection: an R error inside it, or an interrupt, leaves as a C++
// exception and is resumed in R once the C++ frames are gone. A result that
// is not one number throws std::invalid_argument naming it.
// params (NULL or a numeric vector) is handed to a compiled log-density as
// its data pointer, so that one pointer serves every conditional of a Gibbs
// sampler; integer or logical params are replaced by a double copy.
// The returned function refers to logpdf and params: keep both protected
// while in use.
std::function<double(double)> logDensityFrom(SEXP logpdf, SEXP& params);

// True for an external pointer; false for a function; throws
// std::invalid_argument for anything else.
bool isCompiledLogDensity(SEXP logpdf);
