#include "numpy_bit_generator.h"

namespace py = pybind11;

namespace {

// numpy.random.BitGenerator, whose instances' capsule and lock never change.
bool isNumpyBitGenerator(const py::object& o) {
  static PyObject* type = [] {
    py::object t = py::module_::import("numpy.random").attr("BitGenerator");
    return t.release().ptr();  // kept for the life of the interpreter
  }();
  return PyType_Check(type) && PyObject_TypeCheck(o.ptr(), reinterpret_cast<PyTypeObject*>(type));
}

}  // namespace

BitSource::BitSource(py::object bitGenerator) {
  // Holding the last one keeps its address from being reused by another.
  static BitSource* last = new BitSource();  // never destroyed: outlives the interpreter's exit
  if (bitGenerator.ptr() == last->owner_.ptr()) {
    *this = *last;
    return;
  }
  owner_ = std::move(bitGenerator);
  if (!py::hasattr(owner_, "capsule") || !py::hasattr(owner_, "lock"))
    throw py::type_error("expected a numpy BitGenerator, got " +
                         py::repr(owner_.get_type()).cast<std::string>());
  py::object capsule = owner_.attr("capsule");
  void* p = PyCapsule_GetPointer(capsule.ptr(), "BitGenerator");
  if (p == nullptr) throw py::error_already_set();
  bits_ = static_cast<bitgen_t*>(p);
  lock_ = owner_.attr("lock");
  acquire_ = lock_.attr("acquire");
  release_ = lock_.attr("release");
  if (isNumpyBitGenerator(owner_)) *last = *this;
}

BitLockHold::BitLockHold(const BitSource& source) : source_(source) {
  PyObject* r = PyObject_CallNoArgs(source_.acquire());
  if (r == nullptr) throw py::error_already_set();
  Py_DECREF(r);
}

BitLockHold::~BitLockHold() {
  // Releasing a lock this thread acquired cannot fail; keep any pending
  // exception (the one being propagated) in place.
  py::error_scope keep;
  PyObject* r = PyObject_CallNoArgs(source_.release());
  if (r == nullptr) PyErr_Clear(); else Py_DECREF(r);
}
