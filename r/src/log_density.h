#pragma once
// The log-density an R user hands over: an R function of one number, or an
// external pointer to a compiled `double (*)(double, void*)`.
#include <Rinternals.h>

#include <functional>

// The signature of a compiled log-density; the void* is params when given,
// else the external pointer's tag (an R object, e.g. a numeric vector of
// parameters), else a numeric vector of NaNs (never NULL: a function that
// reads parameters it was not given returns NaN, which is reported, rather
// than crashing R).
using CompiledLogDensity = double (*)(double, void*);

// Calls logpdf with one number, and the arguments in `extra` (a tagged
// pairlist, or NULL) after it. An R function is evaluated under unwind
// protection: an R error inside it, or an interrupt, leaves as a C++
// exception and is resumed in R once the C++ frames are gone. R's generator
// state is handed back around the call (rng_hand_back.h). A result that is
// not one number throws std::invalid_argument naming it.
// params (NULL or a numeric vector) is handed to a compiled log-density as
// its data pointer, so that one pointer serves every conditional of a Gibbs
// sampler; integer or logical params are replaced by a double copy.
// The returned function refers to logpdf, extra and params: keep them
// protected while in use.
std::function<double(double)> logDensityFrom(SEXP logpdf, SEXP& params, SEXP extra = R_NilValue);

// True for an external pointer; false for a function; throws
// std::invalid_argument for anything else.
bool isCompiledLogDensity(SEXP logpdf);
