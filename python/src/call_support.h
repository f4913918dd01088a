#pragma once
// What the module's plain CPython calls (fast_calls.cpp, fresh_calls.cpp)
// share: the package's Python helpers they fall back on, C++ exceptions
// raised as pybind11's dispatcher raises them, and the engine of a Sampler
// object read without pybind11's cast.
#include <pybind11/pybind11.h>

#include "python_sampler.h"

// The package's Python helpers, set once by use_checks.
struct CallHelpers {
  pybind11::object number, bitGenerator, globalBitGenerator, callables;
  PyTypeObject* generatorType = nullptr;
  PyTypeObject* bitGeneratorType = nullptr;
};
// Throws unless use_checks has run.
const CallHelpers& callHelpers();
void useChecks(pybind11::object number, pybind11::object bitGenerator,
               pybind11::object globalBitGenerator, pybind11::object callables);

// Sets the Python error for the exception being handled, through the
// registered translators; call from a catch block.
void raiseCurrentException() noexcept;

// f() with any C++ exception turned into a Python error (and nullptr).
template <class F>
PyObject* translated(F&& f) noexcept {
  try {
    return f();
  } catch (...) {
    raiseCurrentException();
    return nullptr;
  }
}

// A METH_FASTCALL function as PyMethodDef holds it.
template <class F>
PyCFunction asCFunction(F* f) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(f));
}

// An interned string, kept for the life of the interpreter.
PyObject* interned(const char* name);

// _arguments.number(value, what), but a float as it is.
double number(PyObject* v, const char* what);

// _random_state.bit_generator(random_state) for a random_state not None.
pybind11::object bitGeneratorOf(PyObject* randomState);

// Whether o is a Sampler object (the class itself, not a subclass).
bool isSampler(PyObject* o);
// The engine of a Sampler object.
PythonSampler& samplerOf(PyObject* self);
