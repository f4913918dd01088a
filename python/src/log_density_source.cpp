#include "log_density_source.h"

#include <pybind11/numpy.h>

#include <stdexcept>

namespace py = pybind11;

namespace {

// Lets go of the bit generator's lock for the duration of one call.
class LockReleased {
 public:
  explicit LockReleased(PyObject* lock) : lock_(lock) {
    if (lock_ != nullptr) call("release");
  }
  ~LockReleased() {
    if (lock_ != nullptr) {
      py::error_scope keep;  // the callable's exception, if any, stays pending
      call("acquire");
    }
  }
  LockReleased(const LockReleased&) = delete;
  LockReleased& operator=(const LockReleased&) = delete;

 private:
  void call(const char* name) {
    PyObject* r = PyObject_CallMethod(lock_, name, nullptr);
    if (r == nullptr) PyErr_Clear(); else Py_DECREF(r);
  }
  PyObject* lock_;
};

double onlyValue(const py::handle& result) {
  auto a = py::array_t<double, py::array::forcecast>::ensure(result);
  if (!a) throw py::error_already_set();
  if (a.size() != 1)
    throw py::value_error("a vectorized logpdf must return one value per abscissa; got " +
                          std::to_string(a.size()) + " for 1");
  return *a.data();
}

thread_local CallContext* currentCall = nullptr;

double callOnce(const PythonLogDensity& s, PyObject* heldLock, double x) {
  LockReleased unlocked(heldLock);
  if (!s.vectorized) {
    py::object arg = py::reinterpret_steal<py::object>(PyFloat_FromDouble(x));
    PyObject* r = PyObject_CallOneArg(s.function.ptr(), arg.ptr());
    if (r == nullptr) throw py::error_already_set();
    py::object result = py::reinterpret_steal<py::object>(r);
    const double v = PyFloat_AsDouble(r);
    if (v == -1.0 && PyErr_Occurred()) throw py::error_already_set();
    return v;
  }
  py::array_t<double> arg(1);
  *arg.mutable_data() = x;
  return onlyValue(s.function(arg));
}

}  // namespace

CallScope::CallScope(CallContext& context) : previous_(currentCall) { currentCall = &context; }
CallScope::~CallScope() { currentCall = previous_; }

LogDensityFunction pythonLogDensity(std::shared_ptr<const PythonLogDensity> density) {
  return [density = std::move(density)](double x) -> double {
    const PythonLogDensity& s = *density;
    for (const auto& [at, value] : s.known)
      if (at == x) return value;
    CallContext* context = currentCall;
    if (context == nullptr) throw std::logic_error("a Python logpdf called outside a sampler call");
    try {
      return callOnce(s, context->heldLock, x);
    } catch (...) {
      context->failure = std::current_exception();
    }
    throw CallbackFailed{};
  };
}

LogDensityFunction cLogDensity(std::uintptr_t address, bool takesData, std::uintptr_t data) {
  if (takesData) {
    auto f = reinterpret_cast<double (*)(double, void*)>(address);
    void* p = reinterpret_cast<void*>(data);
    return [f, p](double x) { return f(x, p); };
  }
  auto f = reinterpret_cast<double (*)(double)>(address);
  return [f](double x) { return f(x); };
}

void evaluateAhead(PythonLogDensity& s, const std::vector<double>& xs) {
  s.known.clear();
  if (xs.empty()) return;
  py::array_t<double> arg(static_cast<py::ssize_t>(xs.size()));
  std::copy(xs.begin(), xs.end(), arg.mutable_data());
  auto values = py::array_t<double, py::array::forcecast>::ensure(s.function(arg));
  if (!values) throw py::error_already_set();
  if (static_cast<std::size_t>(values.size()) != xs.size())
    throw py::value_error("a vectorized logpdf must return one value per abscissa; got " +
                          std::to_string(values.size()) + " for " + std::to_string(xs.size()));
  for (std::size_t i = 0; i < xs.size(); ++i) s.known.emplace_back(xs[i], values.data()[i]);
}
