#include "log_density_source.h"

#include <pybind11/numpy.h>

#include <stdexcept>
#include <string>

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

std::string typeName(const py::handle& value) { return Py_TYPE(value.ptr())->tp_name; }

// What a vectorized logpdf returned, as count doubles: numbers only, so that
// strings that happen to parse and objects numpy cannot convert are refused
// by name rather than read as a value or lost in the conversion.
py::array_t<double> vectorValues(const py::object& result, std::size_t count) {
  py::array a = py::array::ensure(result);
  if (!a) throw py::type_error("a vectorized logpdf must return an array of numbers; it returned a " +
                               typeName(result));
  if (std::string("biuf").find(a.dtype().kind()) == std::string::npos) {
    throw py::type_error("a vectorized logpdf must return an array of numbers; it returned " +
                         (py::isinstance<py::array>(result)
                              ? "an array of dtype " + std::string(py::str(a.dtype()))
                              : "a " + typeName(result)));
  }
  auto values = py::array_t<double, py::array::forcecast>::ensure(a);
  if (!values) throw py::error_already_set();
  if (static_cast<std::size_t>(values.size()) != count)
    throw py::value_error("a vectorized logpdf must return one value per abscissa; got " +
                          std::to_string(values.size()) + " for " + std::to_string(count));
  return values;
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
    if (v == -1.0 && PyErr_Occurred()) {
      if (!PyErr_ExceptionMatches(PyExc_TypeError)) throw py::error_already_set();
      PyErr_Clear();
      throw py::type_error("logpdf must return a number; it returned a " + typeName(result) +
                           " at x = " + std::string(py::repr(arg)));
    }
    return v;
  }
  py::array_t<double> arg(1);
  *arg.mutable_data() = x;
  return *vectorValues(s.function(arg), 1).data();
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
  const py::array_t<double> values = vectorValues(s.function(arg), xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) s.known.emplace_back(xs[i], values.data()[i]);
}

py::array_t<double> evaluateCounted(
    const LogDensityFunction& h,
    const py::array_t<double, py::array::c_style | py::array::forcecast>& xs,
    std::uint64_t& count) {
  py::array_t<double> out(xs.size());
  const double* x = xs.data();
  double* y = out.mutable_data();
  CallContext context;
  propagatingCallbackErrors(context, [&] {
    for (py::ssize_t i = 0; i < xs.size(); ++i) {
      y[i] = h(x[i]);
      ++count;
    }
  });
  return out;
}
