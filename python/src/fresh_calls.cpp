#include "fresh_calls.h"

#include <structmember.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "call_support.h"
#include "python_sampler.h"

namespace py = pybind11;

namespace {

// Up to this many starts, as _arguments checks them in plain Python.
constexpr Py_ssize_t fewStarts = 8;

// x as _arguments._few_floats reads it (a float or an int), into out.
bool plainNumber(PyObject* x, double& out) {
  if (PyFloat_CheckExact(x)) {
    out = PyFloat_AS_DOUBLE(x);
    return true;
  }
  if (!PyLong_CheckExact(x)) return false;
  out = PyLong_AsDouble(x);
  if (out == -1.0 && PyErr_Occurred()) {  // too large: the general path says so
    PyErr_Clear();
    return false;
  }
  return true;
}

// The starts of the fast path: finite numbers (the domain is the whole
// line), read into one allocation.
bool fewFiniteStarts(PyObject* starts, std::vector<double>& xs) {
  if (starts == Py_None) return true;
  double read[fewStarts];
  Py_ssize_t n = 1;
  if (!plainNumber(starts, read[0])) {
    if (!PyList_CheckExact(starts) && !PyTuple_CheckExact(starts)) return false;
    n = PySequence_Fast_GET_SIZE(starts);
    if (n > fewStarts) return false;
    PyObject** items = PySequence_Fast_ITEMS(starts);
    for (Py_ssize_t i = 0; i < n; ++i)
      if (!plainNumber(items[i], read[i])) return false;
  }
  for (Py_ssize_t i = 0; i < n; ++i)
    if (!std::isfinite(read[i])) return false;
  xs.assign(read, read + n);
  return true;
}

// The starts as the sampler keeps them, a list of floats: the caller's own
// float objects where they are floats.
py::object startList(PyObject* starts, const std::vector<double>& xs) {
  PyObject* list = PyList_New(static_cast<Py_ssize_t>(xs.size()));
  if (list == nullptr) throw py::error_already_set();
  py::object kept = py::reinterpret_steal<py::object>(list);
  const bool sequence = PyList_CheckExact(starts) || PyTuple_CheckExact(starts);
  for (std::size_t i = 0; i < xs.size(); ++i) {
    PyObject* given = sequence ? PySequence_Fast_ITEMS(starts)[i] : starts;
    PyObject* x = PyFloat_CheckExact(given) ? (Py_INCREF(given), given) : PyFloat_FromDouble(xs[i]);
    if (x == nullptr) throw py::error_already_set();
    PyList_SET_ITEM(list, static_cast<Py_ssize_t>(i), x);
  }
  return kept;
}

// Whether o has the attribute: a distribution has logpdf and support().
bool hasAttribute(PyObject* o, PyObject* name) {
  PyObject* value = nullptr;
#if PY_VERSION_HEX >= 0x030D0000
  const int found = PyObject_GetOptionalAttr(o, name, &value);
#else
  const int found = _PyObject_LookupAttr(o, name, &value);
#endif
  Py_XDECREF(value);
  if (found < 0) throw py::error_already_set();
  return found == 1;
}

struct CallTarget {
  std::uintptr_t address = 0, data = 0;
  bool takesData = false;
  py::object keepAlive;
};

bool unsignedOf(PyObject* v, std::uintptr_t& out) {
  if (!PyLong_CheckExact(v)) return false;
  const unsigned long long u = PyLong_AsUnsignedLongLong(v);
  if (u == static_cast<unsigned long long>(-1) && PyErr_Occurred()) {
    PyErr_Clear();
    return false;
  }
  if (u > std::numeric_limits<std::uintptr_t>::max()) return false;
  out = static_cast<std::uintptr_t>(u);
  return true;
}

// _callables.c_function(logpdf) and c_call(logpdf, found, data) where both
// come out of the cache of the last recognised function with a plain
// address (or no data) as data; false where they would not.
bool recognisedLast(PyObject* logpdf, PyObject* data, CallTarget& t) {
  static PyObject* lastName = interned("_last");
  static PyObject* callables = PyModule_GetDict(callHelpers().callables.ptr());  // the module's, held by it
  const py::object last = py::reinterpret_borrow<py::object>(PyDict_GetItemWithError(callables, lastName));
  if (!last) {
    if (PyErr_Occurred()) throw py::error_already_set();
    return false;
  }
  if (!PyTuple_CheckExact(last.ptr()) || PyTuple_GET_SIZE(last.ptr()) != 3) return false;
  if (PyTuple_GET_ITEM(last.ptr(), 0) != logpdf) return false;
  PyObject* found = PyTuple_GET_ITEM(last.ptr(), 2);
  if (!PyTuple_CheckExact(found) || PyTuple_GET_SIZE(found) != 4) return false;
  PyObject* key = PyTuple_GET_ITEM(last.ptr(), 1);
  if (key != Py_None) {  // a ctypes function, whose types may have been set again
    static PyObject* restype = interned("restype");
    static PyObject* argtypes = interned("argtypes");
    const py::object res = py::reinterpret_steal<py::object>(PyObject_GetAttr(logpdf, restype));
    if (!res) throw py::error_already_set();
    const py::object args = py::reinterpret_steal<py::object>(PyObject_GetAttr(logpdf, argtypes));
    if (!args) throw py::error_already_set();
    // ctypes hands out the objects it holds: the same ones unless set again.
    const bool same = PyTuple_CheckExact(key) && PyTuple_GET_SIZE(key) == 2 &&
                      PyTuple_GET_ITEM(key, 0) == res.ptr() && PyTuple_GET_ITEM(key, 1) == args.ptr();
    if (!same) {
      const int equal = PyObject_RichCompareBool(py::make_tuple(res, args).ptr(), key, Py_EQ);
      if (equal < 0) throw py::error_already_set();
      if (!equal) return false;
    }
  }
  static PyObject* logpdfName = interned("logpdf");
  static PyObject* supportName = interned("support");
  if (hasAttribute(logpdf, logpdfName) && hasAttribute(logpdf, supportName)) return false;
  if (!unsignedOf(PyTuple_GET_ITEM(found, 0), t.address)) return false;
  t.takesData = PyTuple_GET_ITEM(found, 1) == Py_True;
  PyObject* bound = PyTuple_GET_ITEM(found, 2);
  t.keepAlive = py::reinterpret_borrow<py::object>(PyTuple_GET_ITEM(found, 3));
  if (!t.takesData) return data == Py_None;
  if (data == Py_None) return bound != Py_None && unsignedOf(bound, t.data);
  return bound == Py_None && unsignedOf(data, t.data);
}

// The BitGenerator a fresh sampler draws from and what it keeps as _bits.
bool freshBits(PyObject* randomState, py::object& bits, py::object& kept) {
  const CallHelpers& h = callHelpers();
  if (randomState == Py_None) {
    bits = h.globalBitGenerator();
    kept = py::none();
    return true;
  }
  if (!PyObject_TypeCheck(randomState, h.bitGeneratorType) && !Py_IS_TYPE(randomState, h.generatorType))
    return false;  // a seed: the general path makes its generator
  bits = bitGeneratorOf(randomState);
  if (!bits) throw py::error_already_set();
  kept = bits;
  return true;
}

// The Sampler object of the last fresh sampler. Once nothing else holds it
// (the LogConcaveSampler it served is gone), the next fresh sampler takes it
// over: its engine reset in place spares pybind11's making and registering
// of an instance, and its release. It keeps the last function and
// generator alive meanwhile, as the caches of _callables and BitSource do.
py::object& lastFreshCore() {
  static auto* core = new py::object();  // outlives the interpreter
  return *core;
}

py::object freshCore(CallTarget& t, std::vector<double> xs, const py::object& bits) {
  const double inf = std::numeric_limits<double>::infinity();
  PythonSampler::Domain domain{-inf, inf, std::move(xs)};
  py::object& last = lastFreshCore();
#ifndef Py_GIL_DISABLED  // a count of one says no one else holds it only with the GIL
  if (last && Py_REFCNT(last.ptr()) == 1) {
    py::object core = last;  // held before the engine runs without the GIL
    samplerOf(core.ptr()).refreshC(t.address, t.takesData, t.data, std::move(t.keepAlive),
                                   std::move(domain), bits);
    return core;
  }
#endif
  py::object core = py::cast(PythonSampler::fromC(t.address, t.takesData, t.data, std::move(t.keepAlive),
                                                  std::move(domain), bits));
  last = core;
  return core;
}

// The slots of LogConcaveSampler that __init__ sets, in its order.
enum Slot { Core, Logpdf, Bits, DomainGiven, Vectorized, Data, Check, Seed, Starts, Slots };
using SlotValues = std::array<py::object, Slots>;

PyObject* slotName(int slot) {
  static PyObject* const* names = [] {
    static PyObject* n[Slots];
    const char* text[Slots] = {"_core", "_logpdf", "_bits", "_domain", "_vectorized",
                               "_data", "_check", "_seed", "_starts"};
    for (int i = 0; i < Slots; ++i) n[i] = interned(text[i]);
    return n;
  }();
  return names[slot];
}

using SlotMembers = std::array<PyMemberDef*, Slots>;

// The member descriptors of type's slots; false unless all are plain
// object slots.
bool lookUpSlots(PyTypeObject* type, SlotMembers& members) {
  for (int i = 0; i < Slots; ++i) {
    PyObject* d = PyObject_GetAttr(reinterpret_cast<PyObject*>(type), slotName(i));
    if (d == nullptr) {
      PyErr_Clear();
      return false;
    }
    const bool member = Py_IS_TYPE(d, &PyMemberDescr_Type);
    members[i] = member ? reinterpret_cast<PyMemberDescrObject*>(d)->d_member : nullptr;
    Py_DECREF(d);  // the class holds it
    if (!member || members[i]->type != T_OBJECT_EX || (members[i]->flags & READONLY) != 0) return false;
  }
  return true;
}

PyObject*& slotOf(PyObject* self, const PyMemberDef* member) {
  return *reinterpret_cast<PyObject**>(reinterpret_cast<char*>(self) + member->offset);
}

// The arguments of LogConcaveSampler(logpdf, domain, *, starts, ...),
// borrowed, with their defaults.
struct FreshArgs {
  PyObject *logpdf = nullptr, *domain = Py_None, *starts = Py_None, *randomState = Py_None,
           *vectorized = Py_False, *data = Py_None, *check = Py_False;
};

// The slots of a fresh LogConcaveSampler of a, or false where a takes the
// general path (nothing done then).
bool buildFresh(const FreshArgs& a, SlotValues& slots) {
  if (a.domain != Py_None || a.vectorized != Py_False || a.check != Py_False) return false;
  std::vector<double> xs;
  if (!fewFiniteStarts(a.starts, xs)) return false;
  CallTarget target;
  if (!recognisedLast(a.logpdf, a.data, target)) return false;
  py::object bits, kept;
  if (!freshBits(a.randomState, bits, kept)) return false;
  slots[Starts] = startList(a.starts, xs);
  slots[Core] = freshCore(target, std::move(xs), bits);
  slots[Logpdf] = py::reinterpret_borrow<py::object>(a.logpdf);
  slots[Bits] = std::move(kept);
  slots[DomainGiven] = py::reinterpret_borrow<py::object>(a.domain);
  slots[Vectorized] = py::reinterpret_borrow<py::object>(a.vectorized);
  slots[Data] = py::reinterpret_borrow<py::object>(a.data);
  slots[Check] = py::reinterpret_borrow<py::object>(a.check);
  slots[Seed] = py::none();
  return true;
}

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
  unsigned int seenVersion = 0;  // the version tag it was last seen under
  SlotMembers members{};
  PyObject* rvs = nullptr;         // the Python rvs: the general path
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

// Whether the class's __init__ is another than use_fresh_calls found. A
// class's version tag changes whenever its attributes are set: while it
// stays, the look-up is spared.
bool initReplaced(FreshClass& c) {
  static PyObject* initName = interned("__init__");
  if (c.type->tp_version_tag != 0 && c.type->tp_version_tag == c.seenVersion) return false;
  if (PyDict_GetItemWithError(c.type->tp_dict, initName) != c.init) return true;
  c.seenVersion = c.type->tp_version_tag;
  return false;
}

// LogConcaveSampler(...): the vectorcall of the class.
PyObject* constructFresh(PyObject* type, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
  FreshClass& c = freshClass();
  const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
  FreshArgs a;
  if (reinterpret_cast<PyTypeObject*>(type) != c.type || c.type->tp_new != PyBaseObject_Type.tp_new ||
      initReplaced(c) || !freshArguments(args, nargs, kwnames, a)) {
    if (PyErr_Occurred()) return nullptr;
    return generalCall(type, args, nargs, kwnames);
  }
  bool general = false;
  PyObject* made = translated([&]() -> PyObject* {
    SlotValues values;
    if (!buildFresh(a, values)) {
      general = true;
      return nullptr;
    }
    PyObject* self = c.type->tp_alloc(c.type, 0);
    if (self == nullptr) throw py::error_already_set();
    for (int i = 0; i < Slots; ++i) slotOf(self, c.members[i]) = values[i].release().ptr();
    return self;
  });
  return general ? generalCall(type, args, nargs, kwnames) : made;
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

PyObject* generalRvs(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  const Py_ssize_t nkw = kwnames != nullptr ? PyTuple_GET_SIZE(kwnames) : 0;
  std::vector<PyObject*> stack(static_cast<std::size_t>(1 + nargs + nkw));
  stack[0] = self;
  std::copy(args, args + nargs + nkw, stack.begin() + 1);
  return PyObject_Vectorcall(freshClass().rvs, stack.data(), static_cast<size_t>(1 + nargs), kwnames);
}

// A draw raised NotLogConcaveError: failed_draw(core, error) raises what
// the Python rvs would.
PyObject* failedDraw(PyObject* core) {
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);
  if (traceback != nullptr) PyException_SetTraceback(value, traceback);
  PyObject* r = PyObject_CallFunctionObjArgs(freshClass().failedDraw, core, value, nullptr);
  if (r != nullptr) {  // it always raises; should it not, the error stands
    Py_DECREF(r);
    PyErr_Restore(type, value, traceback);
    return nullptr;
  }
  Py_XDECREF(type);
  Py_XDECREF(value);
  Py_XDECREF(traceback);
  return nullptr;
}

PyObject* rvs(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  const FreshClass& c = freshClass();
  PyObject* core = slotOf(self, c.members[Core]);
  if (core == nullptr || !isSampler(core) || !oneDraw(args, nargs, kwnames))
    return generalRvs(self, args, nargs, kwnames);
  const py::object held = py::reinterpret_borrow<py::object>(core);  // should _core change meanwhile
  PyObject* x = translated([&] { return PyFloat_FromDouble(samplerOf(core).draw(py::none())); });
  if (x == nullptr && PyErr_ExceptionMatches(c.notLogConcave)) return failedDraw(core);
  return x;
}

PyMethodDef rvsDef{"rvs", asCFunction(&rvs), METH_FASTCALL | METH_KEYWORDS, nullptr};

void useFreshCalls(py::object cls, py::object pythonRvs, py::object failed) {
  FreshClass& c = freshClass();
  if (c.type != nullptr) throw py::value_error("use_fresh_calls() runs once");
  if (!PyType_Check(cls.ptr()) || !Py_IS_TYPE(cls.ptr(), &PyType_Type)) return;  // a metaclass: the general way
  auto* type = reinterpret_cast<PyTypeObject*>(cls.ptr());
  if (!lookUpSlots(type, c.members)) return;
  static const std::string doc = "rvs($self, /, size=None, random_state=None)\n--\n\n" +
                                 py::str(pythonRvs.attr("__doc__")).cast<std::string>();
  rvsDef.ml_doc = doc.c_str();
  PyObject* descriptor = PyDescr_NewMethod(type, &rvsDef);
  if (descriptor == nullptr) throw py::error_already_set();
  cls.attr("rvs") = py::reinterpret_steal<py::object>(descriptor);
  c.rvs = pythonRvs.release().ptr();
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
