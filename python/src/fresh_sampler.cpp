#include "fresh_sampler.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "call_support.h"
#include "python_sampler.h"

namespace py = pybind11;

namespace fresh {

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

// An address given as an int. Where unsigned long holds an address (LP64),
// its conversion reads the digits directly; the unsigned long long one goes
// by Python's general byte-array path, some 3 % of a fresh update for the
// function's and the data's addresses.
bool unsignedOf(PyObject* v, std::uintptr_t& out) {
  if (!PyLong_CheckExact(v)) return false;
  using Read = std::conditional_t<sizeof(unsigned long) >= sizeof(std::uintptr_t), unsigned long,
                                  unsigned long long>;
  const Read u = std::is_same_v<Read, unsigned long> ? PyLong_AsUnsignedLong(v) : PyLong_AsUnsignedLongLong(v);
  if (u == static_cast<Read>(-1) && PyErr_Occurred()) {
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
  if (!Py_IS_TYPE(randomState, h.generatorType) && !PyObject_TypeCheck(randomState, h.bitGeneratorType))
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

}  // namespace

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

bool buildFresh(const FreshArgs& a, SlotValues& slots) {
  if (a.domain != Py_None || a.vectorized != Py_False || a.check != Py_False) return false;
  std::vector<double> xs;
  if (!fewFiniteStarts(a.starts, xs)) return false;
  py::object given = startList(a.starts, xs);  // before any Python code can change them
  CallTarget target;
  if (!recognisedLast(a.logpdf, a.data, target)) return false;
  py::object bits, kept;
  if (!freshBits(a.randomState, bits, kept)) return false;
  slots[Starts] = std::move(given);
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

}  // namespace fresh
