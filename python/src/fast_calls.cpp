#include "fast_calls.h"

#include "call_support.h"
#include "fresh_calls.h"

namespace py = pybind11;

namespace {

// Sampler.update(start, random_state): random_state as the caller gave it.
PyObject* update(PyObject* self, PyObject* const* args, Py_ssize_t nargs) {
  if (nargs != 2) {
    PyErr_SetString(PyExc_TypeError, "update() takes start and random_state");
    return nullptr;
  }
  return samplerUpdate(self, args[0], args[1]);
}

// Sampler.draw(bit_generator or None).
PyObject* draw(PyObject* self, PyObject* const* args, Py_ssize_t nargs) {
  return translated([&]() -> PyObject* {
    if (nargs != 1) throw py::type_error("draw() takes one bit generator or None");
    return PyFloat_FromDouble(samplerOf(self).draw(py::reinterpret_borrow<py::object>(args[0])));
  });
}

PyMethodDef updateDef{"update", asCFunction(&update), METH_FASTCALL,
                      "update(start, random_state): a Gibbs update and one draw"};
PyMethodDef drawDef{"draw", asCFunction(&draw), METH_FASTCALL, "draw(bit_generator): one draw"};

void addMethod(py::class_<PythonSampler>& cls, PyMethodDef* def) {
  PyObject* d = PyDescr_NewMethod(reinterpret_cast<PyTypeObject*>(cls.ptr()), def);
  if (d == nullptr) throw py::error_already_set();
  cls.attr(def->ml_name) = py::reinterpret_steal<py::object>(d);
}

}  // namespace

PyObject* samplerUpdate(PyObject* core, PyObject* start, PyObject* randomState) noexcept {
  return translated([&]() -> PyObject* {
    PythonSampler& s = samplerOf(core);
    const double x = number(start, "start");
    const py::object bits = randomState == Py_None ? py::none() : bitGeneratorOf(randomState);
    if (!bits) throw py::error_already_set();
    return PyFloat_FromDouble(s.update(x, bits));
  });
}

void addFastCalls(py::module_& m, py::class_<PythonSampler>& sampler) {
  addMethod(sampler, &updateDef);
  addMethod(sampler, &drawDef);
  m.def("use_checks", &useChecks);
  addFreshCalls(m);
}
