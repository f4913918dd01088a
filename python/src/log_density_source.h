#pragma once
// The log-density the engine calls, made from what the Python side passes:
// a Python callable (called with the GIL held) or the address of a C function
// double(double) or double(double, void*) (called directly; no GIL needed).
#include <pybind11/pybind11.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using LogDensityFunction = std::function<double(double)>;

// Shared by the wrapper inside the engine and the sampler object that drives it.
struct PythonCallState {
  pybind11::object function;
  bool vectorized = false;
  // The bit generator's lock while rvs holds it: released around each call,
  // so that the callable may itself draw from that generator.
  PyObject* heldLock = nullptr;
  // What the callable raised, kept until the engine has unwound.
  std::exception_ptr failure;
  // Values computed ahead in one vectorized call (the starting points).
  std::vector<std::pair<double, double>> known;
};

// Thrown through the engine after the callable raised; deliberately not a
// std::exception, so that nothing in between mistakes it for an engine error.
struct CallbackFailed {};

LogDensityFunction pythonLogDensity(std::shared_ptr<PythonCallState> state);
LogDensityFunction cLogDensity(std::uintptr_t address, bool takesData, std::uintptr_t data);

// Evaluates xs in one call of a vectorized callable into state.known.
void evaluateAhead(PythonCallState& state, const std::vector<double>& xs);

// Runs an engine call; if the callable raised meanwhile, its own exception
// leaves here, unchanged, whatever the engine turned it into on the way.
template <class F>
decltype(auto) propagatingCallbackErrors(PythonCallState* state, F&& f) {
  try {
    return std::forward<F>(f)();
  } catch (...) {
    if (state != nullptr && state->failure) {
      std::exception_ptr e = std::exchange(state->failure, nullptr);
      std::rethrow_exception(e);
    }
    throw;
  }
}
