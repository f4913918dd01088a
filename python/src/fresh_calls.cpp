#include "fresh_calls.h"

#include <algorithm>
#include <string>
#include <vector>

#include "call_support.h"
#include "fast_calls.h"
#include "fresh_sampler.h"

namespace py = pybind11;
using namespace fresh;

namespace {

// Writes the slots of self: for the class whose slots were looked up last,
// straight through their member descriptors (setattr finds the same ones,
// at ten times the cost); for another, by setattr.
void setSlots(PyObject* self, const SlotValues& values) {
  static PyTypeObject* known = nullptr;
  static SlotMembers members;
  PyTypeObject* type = Py_TYPE(self);
  if (type != known && lookUpSlots(type, members)) {
    Py_INCREF(type);  // held, so that no other class takes its address
    Py_XDECREF(reinterpret_cast<PyObject*>(known));
    known = type;
  }
  for (int i = 0; i < Slots; ++i) {
    const int failed = type == known ? PyMember_SetOne(reinterpret_cast<char*>(self), members[i], values[i].ptr())
                                     : PyObject_SetAttr(self, slotName(i), values[i].ptr());
    if (failed != 0) throw py::error_already_set();
  }
}

PyObject* freshC(PyObject*, PyObject* const* args, Py_ssize_t nargs) {
  return translated([&]() -> PyObject* {
    if (nargs != 8) throw py::type_error("fresh_c() takes 8 arguments");
    const FreshArgs a{args[1], args[2], args[3], args[4], args[5], args[6], args[7]};
    SlotValues values;
    if (!buildFresh(a, values)) Py_RETURN_FALSE;
    setSlots(args[0], values);
    Py_RETURN_TRUE;
  });
}

// LogConcaveSampler as use_fresh_calls found it.
struct FreshClass {
  PyTypeObject* type = nullptr;
  PyObject* init = nullptr;  // its __init__, to see it replaced
  SlotMembers members{};
  PyObject* rvs = nullptr;  // the Python methods: the general paths
  PyObject* update = nullptr;
  PyObject* failedDraw = nullptr;  // failed_draw(core, error)
  PyObject* notLogConcave = nullptr;
};
FreshClass& freshClass() {
  static auto* c = new FreshClass();  // outlives the interpreter
  return *c;
}

// type(*args, **kwargs) as type.__call__ does it: __new__, then __init__.
PyObject* generalCall(PyObject* type, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  py::tuple positional(nargs);
  for (Py_ssize_t i = 0; i < nargs; ++i) positional[static_cast<std::size_t>(i)] = py::handle(args[i]);
  py::dict keywords;
  const Py_ssize_t nkw = kwnames != nullptr ? PyTuple_GET_SIZE(kwnames) : 0;
  for (Py_ssize_t i = 0; i < nkw; ++i)
    if (PyDict_SetItem(keywords.ptr(), PyTuple_GET_ITEM(kwnames, i), args[nargs + i]) != 0) return nullptr;
  return PyType_Type.tp_call(type, positional.ptr(), nkw != 0 ? keywords.ptr() : nullptr);
}

// Reads LogConcaveSampler's arguments into a; false for any other shape
// (including errors, which the general path reports).
bool freshArguments(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, FreshArgs& a) {
  if (nargs < 1 || nargs > 2) return false;
  a.logpdf = args[0];
  if (nargs == 2) a.domain = args[1];
  if (kwnames == nullptr) return true;
  static PyObject* const names[] = {interned("domain"), interned("starts"), interned("random_state"),
                                    interned("vectorized"), interned("data"), interned("check")};
  PyObject** fields[] = {&a.domain, &a.starts, &a.randomState, &a.vectorized, &a.data, &a.check};
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(kwnames); ++i) {
    PyObject* name = PyTuple_GET_ITEM(kwnames, i);
    int k = 0;
    while (k < 6 && names[k] != name) ++k;
    if (k == 6 || (k == 0 && nargs == 2)) return false;
    *fields[k] = args[nargs + i];
  }
  return true;
}

// Whether the class's __init__ is another than use_fresh_calls found.
bool initReplaced(const FreshClass& c) {
  static PyObject* initName = interned("__init__");
  return PyDict_GetItemWithError(c.type->tp_dict, initName) != c.init;
}

// LogConcaveSampler(...): the vectorcall of the class.
PyObject* constructFresh(PyObject* type, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
  return translated([&]() -> PyObject* {
    const FreshClass& c = freshClass();
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    FreshArgs a;
    SlotValues values;
    if (reinterpret_cast<PyTypeObject*>(type) != c.type || c.type->tp_new != PyBaseObject_Type.tp_new ||
        initReplaced(c) || !freshArguments(args, nargs, kwnames, a) || !buildFresh(a, values)) {
      if (PyErr_Occurred()) return nullptr;
      return generalCall(type, args, nargs, kwnames);
    }
    PyObject* self = c.type->tp_alloc(c.type, 0);
    if (self == nullptr) return nullptr;
    for (int i = 0; i < Slots; ++i) slotOf(self, c.members[i]) = values[i].release().ptr();
    return self;
  });
}

// rvs(), rvs(None), rvs(size=None, random_state=None) ...: one draw from
// the sampler's own generator.
bool oneDraw(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  if (nargs > 2) return false;
  const Py_ssize_t nkw = kwnames != nullptr ? PyTuple_GET_SIZE(kwnames) : 0;
  for (Py_ssize_t i = 0; i < nargs + nkw; ++i)
    if (args[i] != Py_None) return false;
  static PyObject* const sizeName = interned("size");
  static PyObject* const randomStateName = interned("random_state");
  for (Py_ssize_t i = 0; i < nkw; ++i) {
    PyObject* name = PyTuple_GET_ITEM(kwnames, i);
    const Py_ssize_t at = name == sizeName ? 0 : name == randomStateName ? 1 : -1;
    if (at < nargs) return false;  // unknown, or given twice
  }
  return true;
}

// method(self, *args, **kwargs), the Python method a C one stands in for.
PyObject* callPython(PyObject* method, PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  const Py_ssize_t nkw = kwnames != nullptr ? PyTuple_GET_SIZE(kwnames) : 0;
  std::vector<PyObject*> stack(static_cast<std::size_t>(1 + nargs + nkw));
  stack[0] = self;
  std::copy(args, args + nargs + nkw, stack.begin() + 1);
  return PyObject_Vectorcall(method, stack.data(), static_cast<size_t>(1 + nargs), kwnames);
}

// The engine of self, or null for a LogConcaveSampler without one.
PyObject* coreOf(PyObject* self) {
  PyObject* core = slotOf(self, freshClass().members[Core]);
  return core != nullptr && isSampler(core) ? core : nullptr;
}

// A draw raised NotLogConcaveError: failed_draw(core, error) raises what
// the Python rvs would.
PyObject* failedDraw(PyObject* core) {
#if PY_VERSION_HEX >= 0x030C0000
  PyObject* error = PyErr_GetRaisedException();
#else
  PyObject *type, *error, *traceback;
  PyErr_Fetch(&type, &error, &traceback);
  PyErr_NormalizeException(&type, &error, &traceback);
  if (traceback != nullptr) PyException_SetTraceback(error, traceback);
  Py_XDECREF(type);
  Py_XDECREF(traceback);
#endif
  PyObject* r = PyObject_CallFunctionObjArgs(freshClass().failedDraw, core, error, nullptr);
  if (r != nullptr) {  // it always raises; should it not, the error stands
    Py_DECREF(r);
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error)), error);
  }
  Py_DECREF(error);
  return nullptr;
}

PyObject* rvs(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return translated([&]() -> PyObject* {
    const FreshClass& c = freshClass();
    PyObject* core = coreOf(self);
    if (core == nullptr || !oneDraw(args, nargs, kwnames)) return callPython(c.rvs, self, args, nargs, kwnames);
    const py::object held = py::reinterpret_borrow<py::object>(core);  // should _core change meanwhile
    PyObject* x = translated([&] { return PyFloat_FromDouble(samplerOf(core).draw(py::none())); });
    if (x == nullptr && PyErr_ExceptionMatches(c.notLogConcave)) return failedDraw(core);
    return x;
  });
}

// update(start), update(start, random_state), update(start, random_state=...).
PyObject* update(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return translated([&]() -> PyObject* {
    static PyObject* const randomStateName = interned("random_state");
    const Py_ssize_t nkw = kwnames != nullptr ? PyTuple_GET_SIZE(kwnames) : 0;
    const bool plain = (nargs == 2 && nkw == 0) ||
                       (nargs == 1 && (nkw == 0 || (nkw == 1 && PyTuple_GET_ITEM(kwnames, 0) == randomStateName)));
    PyObject* core = coreOf(self);
    if (core == nullptr || !plain) return callPython(freshClass().update, self, args, nargs, kwnames);
    const py::object held = py::reinterpret_borrow<py::object>(core);
    return samplerUpdate(core, args[0], nargs + nkw == 2 ? args[1] : Py_None);
  });
}

PyMethodDef rvsDef{"rvs", asCFunction(&rvs), METH_FASTCALL | METH_KEYWORDS, nullptr};
PyMethodDef updateDef{"update", asCFunction(&update), METH_FASTCALL | METH_KEYWORDS, nullptr};

// cls.<def's name> = def, with the signature and the doc of the Python
// method it stands in for, which it returns.
PyObject* replaceMethod(const py::object& cls, PyMethodDef& def, const char* signature) {
  py::object python = cls.attr(def.ml_name);
  auto* doc = new std::string(std::string(def.ml_name) + signature + "\n--\n\n" +
                              py::str(python.attr("__doc__")).cast<std::string>());  // kept for good
  def.ml_doc = doc->c_str();
  PyObject* descriptor = PyDescr_NewMethod(reinterpret_cast<PyTypeObject*>(cls.ptr()), &def);
  if (descriptor == nullptr) throw py::error_already_set();
  cls.attr(def.ml_name) = py::reinterpret_steal<py::object>(descriptor);
  return python.release().ptr();
}

void useFreshCalls(py::object cls, py::object failed) {
  FreshClass& c = freshClass();
  if (c.type != nullptr) throw py::value_error("use_fresh_calls() runs once");
  if (!PyType_Check(cls.ptr()) || !Py_IS_TYPE(cls.ptr(), &PyType_Type)) return;  // a metaclass: the general way
  if (!lookUpSlots(reinterpret_cast<PyTypeObject*>(cls.ptr()), c.members)) return;
  c.rvs = replaceMethod(cls, rvsDef, "($self, /, size=None, random_state=None)");
  c.update = replaceMethod(cls, updateDef, "($self, /, start, random_state=None)");
  c.failedDraw = failed.release().ptr();
  c.init = py::object(cls.attr("__init__")).release().ptr();
  c.type = reinterpret_cast<PyTypeObject*>(cls.release().ptr());
#if PY_VERSION_HEX >= 0x03090000  // calls of a class look for it since
  c.type->tp_vectorcall = constructFresh;
#endif
}

PyMethodDef moduleDefs[] = {
    {"fresh_c", asCFunction(&freshC), METH_FASTCALL,
     "fresh_c(self, logpdf, domain, starts, random_state, vectorized, data, check) -> bool"},
    {nullptr, nullptr, 0, nullptr}};

}  // namespace

void addFreshCalls(py::module_& m) {
  if (PyModule_AddFunctions(m.ptr(), moduleDefs) != 0) throw py::error_already_set();
  freshClass().notLogConcave = py::object(m.attr("NotLogConcaveError")).release().ptr();
  m.def("use_fresh_calls", &useFreshCalls);
}
