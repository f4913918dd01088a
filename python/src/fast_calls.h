#pragma once
// The calls of a Gibbs update from Python as plain CPython functions:
// Sampler.update and Sampler.draw here, a fresh sampler and its draw in
// fresh_calls.h. pybind11's dispatch and the package's argument checks in
// Python cost several times the engine's own work on these paths; here they
// take a few hundred instructions, and anything unusual goes the general
// way (to the same checks, in the same order, with the same messages).
#include <pybind11/pybind11.h>

#include "python_sampler.h"

// Sampler.update(start, random_state) of the Sampler object core.
PyObject* samplerUpdate(PyObject* core, PyObject* start, PyObject* randomState) noexcept;

// Replaces `update` and `draw` of the Sampler class, and adds to m
// use_checks(number, bit_generator, global_bit_generator, callables) (the
// package's Python helpers the slow paths call) and the calls of
// fresh_calls.h.
void addFastCalls(pybind11::module_& m, pybind11::class_<PythonSampler>& sampler);
