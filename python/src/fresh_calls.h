#pragma once
// A Gibbs update's fresh sampler from Python, LogConcaveSampler(f,
// starts=[x], data=..., random_state=rng).rvs() with f the C function
// recognised last, without the interpreter: the class is called, built and
// drawn from in C, and the Sampler object of a sampler let go is taken over
// by the next one. Anything else goes the general way, in Python.
#include <pybind11/pybind11.h>

// Adds to m:
//   fresh_c(self, logpdf, domain, starts, random_state, vectorized, data, check):
//     builds a LogConcaveSampler's state in self and returns True where
//     logpdf is the C function recognised last, with no domain, check or
//     vectorized, a short list of starts and a Generator, BitGenerator or
//     None as random_state; else returns False, having done nothing;
//   use_fresh_calls(cls, failed_draw): makes calls of the class cls
//     (LogConcaveSampler) build such a sampler directly, and replaces its
//     rvs and update with C methods for one draw and a Gibbs update, which
//     call the Python ones for any other arguments, and failed_draw(core,
//     error) when a draw raises NotLogConcaveError.
void addFreshCalls(pybind11::module_& m);
