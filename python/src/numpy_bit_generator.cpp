#include "numpy_bit_generator.h"

namespace py = pybind11;

BitSource::BitSource(py::object bitGenerator) : owner_(std::move(bitGenerator)) {
  if (!py::hasattr(owner_, "capsule") || !py::hasattr(owner_, "lock"))
    throw py::type_error("expected a numpy BitGenerator, got " +
                         py::repr(owner_.get_type()).cast<std::string>());
  py::object capsule = owner_.attr("capsule");
  void* p = PyCapsule_GetPointer(capsule.ptr(), "BitGenerator");
  if (p == nullptr) throw py::error_already_set();
  bits_ = static_cast<bitgen_t*>(p);
  lock_ = owner_.attr("lock");
}

BitLockHold::BitLockHold(const py::object& lock) : lock_(lock) { lock_.attr("acquire")(); }

BitLockHold::~BitLockHold() {
  // Releasing a lock this thread acquired cannot fail; keep any pending
  // exception (the one being propagated) in place.
  py::error_scope keep;
  PyObject* r = PyObject_CallMethod(lock_.ptr(), "release", nullptr);
  if (r == nullptr) PyErr_Clear(); else Py_DECREF(r);
}
