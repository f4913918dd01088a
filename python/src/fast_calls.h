#pragma once
// The calls of a Gibbs update from Python as plain CPython functions:
// Sampler.update, Sampler.draw, and a fresh sampler of the C function
// recognised last. pybind11's dispatch and the package's argument checks in
// Python cost several times the engine's own work on these paths; here they
// take a few hundred instructions, and anything unusual goes the general
// way (to the same checks, in the same order, with the same messages).
#include <pybind11/pybind11.h>

#include "python_sampler.h"

// Replaces `update` and `draw` of the Sampler class, and adds to m:
//   use_checks(number, bit_generator, global_bit_generator, callables):
//     the package's Python helpers the slow paths call;
//   fresh_c(self, logpdf, domain, starts, random_state, vectorized, data, check):
//     builds a LogConcaveSampler's state in self and returns True where
//     logpdf is the C function recognised last, with no domain, check or
//     vectorized, a short list of starts and a Generator, BitGenerator or
//     None as random_state; else returns False, having done nothing.
void addFastCalls(pybind11::module_& m, pybind11::class_<PythonSampler>& sampler);
