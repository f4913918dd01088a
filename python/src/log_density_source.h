#pragma once
// The log-density the engine calls, made from what the Python side passes:
// a Python callable (called with the GIL held) or the address of a C function
// double(double) or double(double, void*) (called directly; no GIL needed).
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using LogDensityFunction = std::function<double(double)>;

// A Python log-density. Shared, unchanged, by a sampler and its copies, so a
// copy of the engine (which copies its std::function) needs no GIL.
struct PythonLogDensity {
  pybind11::object function;
  bool vectorized = false;
  // Values computed ahead in one vectorized call (the starting points); only
  // filled while the first sampler is constructed, before any copy exists.
  std::vector<std::pair<double, double>> known;
};

// What one engine call on this thread needs to know about its callable.
// Kept per call rather than in PythonLogDensity, so that copies sharing one
// callable can draw on two threads at once.
struct CallContext {
  // The bit generator's lock while rvs holds it: released around each call,
  // so that the callable may itself draw from that generator.
  PyObject* heldLock = nullptr;
  // What the callable raised, kept until the engine has unwound.
  std::exception_ptr failure;
};

// Makes `context` the current call's context on this thread for a scope;
// nests (a logpdf may drive another sampler).
class CallScope {
 public:
  explicit CallScope(CallContext& context);
  ~CallScope();
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  CallContext* previous_;
};

// Thrown through the engine after the callable raised; deliberately not a
// std::exception, so that nothing in between mistakes it for an engine error.
struct CallbackFailed {};

LogDensityFunction pythonLogDensity(std::shared_ptr<const PythonLogDensity> density);
LogDensityFunction cLogDensity(std::uintptr_t address, bool takesData, std::uintptr_t data);

// h at every x of xs, each counted in `count`, with the callable's own
// exception leaving unchanged (for the checks of the Python layer).
pybind11::array_t<double> evaluateCounted(
    const LogDensityFunction& h,
    const pybind11::array_t<double, pybind11::array::c_style | pybind11::array::forcecast>& xs,
    std::uint64_t& count);

// Evaluates xs in one call of a vectorized callable into density.known.
void evaluateAhead(PythonLogDensity& density, const std::vector<double>& xs);

// Runs an engine call in `context`; if the callable raised meanwhile, its own
// exception leaves here, unchanged, whatever the engine turned it into.
template <class F>
decltype(auto) propagatingCallbackErrors(CallContext& context, F&& f) {
  CallScope scope(context);
  try {
    return std::forward<F>(f)();
  } catch (...) {
    if (context.failure) {
      std::exception_ptr e = std::exchange(context.failure, nullptr);
      std::rethrow_exception(e);
    }
    throw;
  }
}
