#include "call_support.h"

#include <stdexcept>

namespace py = pybind11;

namespace {

// Never freed: the helpers live as long as the interpreter.
CallHelpers& storedHelpers() {
  static CallHelpers* h = new CallHelpers();
  return *h;
}

}  // namespace

const CallHelpers& callHelpers() {
  const CallHelpers& h = storedHelpers();
  if (!h.callables) throw std::runtime_error("adaptive_rejection._core used before use_checks()");
  return h;
}

void useChecks(py::object number, py::object bitGenerator, py::object globalBitGenerator,
               py::object callables) {
  CallHelpers& h = storedHelpers();
  h.number = std::move(number);
  h.bitGenerator = std::move(bitGenerator);
  h.globalBitGenerator = std::move(globalBitGenerator);
  h.callables = std::move(callables);
  py::module_ random = py::module_::import("numpy.random");
  h.generatorType = reinterpret_cast<PyTypeObject*>(py::object(random.attr("Generator")).release().ptr());
  h.bitGeneratorType = reinterpret_cast<PyTypeObject*>(py::object(random.attr("BitGenerator")).release().ptr());
}

// As pybind11's dispatcher does: the registered translators turn the
// engine's errors into ValueError and NotLogConcaveError with the Python
// wording.
void raiseCurrentException() noexcept {
  try {
    throw;
  } catch (py::error_already_set& e) {
    e.restore();
  } catch (...) {
    if (py::detail::apply_exception_translators(py::detail::get_local_internals().registered_exception_translators))
      return;
    if (py::detail::apply_exception_translators(py::detail::get_internals().registered_exception_translators))
      return;
    PyErr_SetString(PyExc_SystemError, "Exception escaped from default exception translator!");
  }
}

PyObject* interned(const char* name) {
  PyObject* s = PyUnicode_InternFromString(name);
  if (s == nullptr) throw py::error_already_set();
  return s;
}

double number(PyObject* v, const char* what) {
  if (PyFloat_CheckExact(v)) return PyFloat_AS_DOUBLE(v);
  return callHelpers().number(py::handle(v), what).cast<double>();
}

namespace {

// The getter of Generator.bit_generator where the class cannot change (a
// static or immutable type): called directly, it spares the attribute
// look-up; else null.
const PyGetSetDef* bitGeneratorGetter(PyTypeObject* generator) {
  static const PyGetSetDef* getter = [generator]() -> const PyGetSetDef* {
    if ((generator->tp_flags & Py_TPFLAGS_HEAPTYPE) != 0) {
#ifdef Py_TPFLAGS_IMMUTABLETYPE
      if ((generator->tp_flags & Py_TPFLAGS_IMMUTABLETYPE) == 0) return nullptr;
#else
      return nullptr;
#endif
    }
    PyObject* d = PyObject_GetAttrString(reinterpret_cast<PyObject*>(generator), "bit_generator");
    if (d == nullptr) {
      PyErr_Clear();
      return nullptr;
    }
    const PyGetSetDef* g = Py_IS_TYPE(d, &PyGetSetDescr_Type) ? reinterpret_cast<PyGetSetDescrObject*>(d)->d_getset : nullptr;
    Py_DECREF(d);  // the class holds it
    return g != nullptr && g->get != nullptr ? g : nullptr;
  }();
  return getter;
}

}  // namespace

py::object bitGeneratorOf(PyObject* randomState) {
  const CallHelpers& h = callHelpers();
  // A Generator first: the common case, and the subtype test walks its MRO.
  if (Py_IS_TYPE(randomState, h.generatorType)) {
    if (const PyGetSetDef* g = bitGeneratorGetter(h.generatorType))
      return py::reinterpret_steal<py::object>(g->get(randomState, g->closure));
    static PyObject* name = interned("bit_generator");
    return py::reinterpret_steal<py::object>(PyObject_GetAttr(randomState, name));
  }
  if (PyObject_TypeCheck(randomState, h.bitGeneratorType)) return py::reinterpret_borrow<py::object>(randomState);
  return h.bitGenerator(py::handle(randomState));
}

namespace {

const py::detail::type_info* samplerInfo() {
  static const py::detail::type_info* info = py::detail::get_type_info(typeid(PythonSampler));
  return info;
}

}  // namespace

bool isSampler(PyObject* o) {
  const py::detail::type_info* info = samplerInfo();
  return info != nullptr && Py_TYPE(o) == info->type;
}

// For the class itself, read from the instance as pybind11 lays it out
// (its cast looks the class up by name).
PythonSampler& samplerOf(PyObject* self) {
  if (isSampler(self)) {
    auto v = reinterpret_cast<py::detail::instance*>(self)->get_value_and_holder(samplerInfo());
    if (v.holder_constructed() && v.value_ptr() != nullptr) return *static_cast<PythonSampler*>(v.value_ptr());
  }
  return py::handle(self).cast<PythonSampler&>();
}
