#include "fast_calls.h"

#include <structmember.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace py = pybind11;

namespace {

// The package's Python helpers, set once by use_checks; never freed, as
// they live as long as the interpreter.
struct Helpers {
  py::object number, bitGenerator, globalBitGenerator, callables;
  PyTypeObject* generatorType = nullptr;
  PyTypeObject* bitGeneratorType = nullptr;
};
Helpers& storedHelpers() {
  static Helpers* h = new Helpers();
  return *h;
}
const Helpers& helpers() {
  const Helpers& h = storedHelpers();
  if (!h.callables) throw std::runtime_error("adaptive_rejection._core used before use_checks()");
  return h;
}

void useChecks(py::object number, py::object bitGenerator, py::object globalBitGenerator,
               py::object callables) {
  Helpers& h = storedHelpers();
  h.number = std::move(number);
  h.bitGenerator = std::move(bitGenerator);
  h.globalBitGenerator = std::move(globalBitGenerator);
  h.callables = std::move(callables);
  py::module_ random = py::module_::import("numpy.random");
  h.generatorType = reinterpret_cast<PyTypeObject*>(py::object(random.attr("Generator")).release().ptr());
  h.bitGeneratorType = reinterpret_cast<PyTypeObject*>(py::object(random.attr("BitGenerator")).release().ptr());
}

// A C++ exception as pybind11's dispatcher raises it: through the
// registered translators (the engine's errors become ValueError and
// NotLogConcaveError with the Python wording).
template <class F>
PyObject* translated(F&& f) noexcept {
  try {
    return f();
  } catch (py::error_already_set& e) {
    e.restore();
    return nullptr;
  } catch (...) {
    if (py::detail::apply_exception_translators(py::detail::get_local_internals().registered_exception_translators))
      return nullptr;
    if (py::detail::apply_exception_translators(py::detail::get_internals().registered_exception_translators))
      return nullptr;
    PyErr_SetString(PyExc_SystemError, "Exception escaped from default exception translator!");
    return nullptr;
  }
}

PyObject* interned(const char* name) {
  PyObject* s = PyUnicode_InternFromString(name);
  if (s == nullptr) throw py::error_already_set();
  return s;
}

// _arguments.number(value, what), but a float as it is.
double number(PyObject* v, const char* what) {
  if (PyFloat_CheckExact(v)) return PyFloat_AS_DOUBLE(v);
  return helpers().number(py::handle(v), what).cast<double>();
}

// _random_state.bit_generator(random_state) for a random_state not None.
py::object bitGeneratorOf(PyObject* randomState) {
  const Helpers& h = helpers();
  if (PyObject_TypeCheck(randomState, h.bitGeneratorType)) return py::reinterpret_borrow<py::object>(randomState);
  if (Py_IS_TYPE(randomState, h.generatorType)) {
    static PyObject* name = interned("bit_generator");
    return py::reinterpret_steal<py::object>(PyObject_GetAttr(randomState, name));
  }
  return h.bitGenerator(py::handle(randomState));
}

// The sampler of a Sampler object: for the class itself, read from the
// instance as pybind11 lays it out (its cast looks the class up by name).
PythonSampler& samplerOf(PyObject* self) {
  static const py::detail::type_info* info = py::detail::get_type_info(typeid(PythonSampler));
  if (info != nullptr && Py_TYPE(self) == info->type) {
    auto v = reinterpret_cast<py::detail::instance*>(self)->get_value_and_holder(info);
    if (v.holder_constructed() && v.value_ptr() != nullptr) return *static_cast<PythonSampler*>(v.value_ptr());
  }
  return py::handle(self).cast<PythonSampler&>();
}

// Sampler.update(start, random_state): random_state as the caller gave it.
PyObject* update(PyObject* self, PyObject* const* args, Py_ssize_t nargs) {
  return translated([&]() -> PyObject* {
    if (nargs != 2) throw py::type_error("update() takes start and random_state");
    PythonSampler& s = samplerOf(self);
    const double x = number(args[0], "start");
    const py::object bits = args[1] == Py_None ? py::none() : bitGeneratorOf(args[1]);
    if (!bits) throw py::error_already_set();
    return PyFloat_FromDouble(s.update(x, bits));
  });
}

// Sampler.draw(bit_generator or None).
PyObject* draw(PyObject* self, PyObject* const* args, Py_ssize_t nargs) {
  return translated([&]() -> PyObject* {
    if (nargs != 1) throw py::type_error("draw() takes one bit generator or None");
    return PyFloat_FromDouble(samplerOf(self).draw(py::reinterpret_borrow<py::object>(args[0])));
  });
}

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

// The starts of the fast path: finite numbers (the domain is the whole line).
bool fewFiniteStarts(PyObject* starts, std::vector<double>& xs) {
  if (starts == Py_None) return true;
  double x;
  if (plainNumber(starts, x)) {
    xs.push_back(x);
  } else if (PyList_CheckExact(starts) || PyTuple_CheckExact(starts)) {
    const Py_ssize_t n = PySequence_Fast_GET_SIZE(starts);
    if (n > fewStarts) return false;
    PyObject** items = PySequence_Fast_ITEMS(starts);
    for (Py_ssize_t i = 0; i < n; ++i) {
      if (!plainNumber(items[i], x)) return false;
      xs.push_back(x);
    }
  } else {
    return false;
  }
  for (double v : xs)
    if (!std::isfinite(v)) return false;
  return true;
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
  const py::object last = py::reinterpret_steal<py::object>(PyObject_GetAttr(helpers().callables.ptr(), lastName));
  if (!last) throw py::error_already_set();
  if (!PyTuple_CheckExact(last.ptr()) || PyTuple_GET_SIZE(last.ptr()) != 3) return false;
  if (PyTuple_GET_ITEM(last.ptr(), 0) != logpdf) return false;
  PyObject* found = PyTuple_GET_ITEM(last.ptr(), 2);
  if (!PyTuple_CheckExact(found) || PyTuple_GET_SIZE(found) != 4) return false;
  PyObject* key = PyTuple_GET_ITEM(last.ptr(), 1);
  if (key != Py_None) {  // a ctypes function, whose types may have been set again
    static PyObject* restype = interned("restype");
    static PyObject* argtypes = interned("argtypes");
    const py::object now = py::make_tuple(py::reinterpret_steal<py::object>(PyObject_GetAttr(logpdf, restype)),
                                          py::reinterpret_steal<py::object>(PyObject_GetAttr(logpdf, argtypes)));
    const int same = PyObject_RichCompareBool(now.ptr(), key, Py_EQ);
    if (same < 0) throw py::error_already_set();
    if (!same) return false;
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
  const Helpers& h = helpers();
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

// The slots of LogConcaveSampler that __init__ sets, in its order.
enum Slot { Core, Logpdf, Bits, DomainGiven, Vectorized, Data, Check, Seed, Starts, Slots };

PyObject* slotName(Slot slot) {
  static PyObject* const* names = [] {
    static PyObject* n[Slots];
    const char* text[Slots] = {"_core", "_logpdf", "_bits", "_domain", "_vectorized",
                               "_data", "_check", "_seed", "_starts"};
    for (int i = 0; i < Slots; ++i) n[i] = interned(text[i]);
    return n;
  }();
  return names[slot];
}

// Writes the slots of self: for the class whose slots were looked up last,
// straight through their member descriptors (setattr finds the same ones,
// at ten times the cost); for another, by setattr.
class SlotWriter {
 public:
  explicit SlotWriter(PyObject* self) : self_(self) {
    static PyTypeObject* known = nullptr;
    static PyMemberDef* members[Slots];
    PyTypeObject* type = Py_TYPE(self);
    if (type != known && lookUp(type, members)) {
      Py_INCREF(type);  // held, so that no other class takes its address
      Py_XDECREF(reinterpret_cast<PyObject*>(known));
      known = type;
    }
    if (type == known) members_ = members;
  }
  void set(Slot slot, PyObject* value) {
    const int failed = members_ != nullptr ? PyMember_SetOne(reinterpret_cast<char*>(self_), members_[slot], value)
                                           : PyObject_SetAttr(self_, slotName(slot), value);
    if (failed != 0) throw py::error_already_set();
  }

 private:
  static bool lookUp(PyTypeObject* type, PyMemberDef** members) {
    for (int i = 0; i < Slots; ++i) {
      PyObject* d = PyObject_GetAttr(reinterpret_cast<PyObject*>(type), slotName(static_cast<Slot>(i)));
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
  PyObject* self_;
  PyMemberDef** members_ = nullptr;
};

PyObject* freshC(PyObject*, PyObject* const* args, Py_ssize_t nargs) {
  return translated([&]() -> PyObject* {
    if (nargs != 8) throw py::type_error("fresh_c() takes 8 arguments");
    PyObject *self = args[0], *logpdf = args[1], *domain = args[2], *starts = args[3],
             *randomState = args[4], *vectorized = args[5], *data = args[6], *check = args[7];
    if (domain != Py_None || vectorized != Py_False || check != Py_False) Py_RETURN_FALSE;
    std::vector<double> xs;
    if (!fewFiniteStarts(starts, xs)) Py_RETURN_FALSE;
    CallTarget target;
    if (!recognisedLast(logpdf, data, target)) Py_RETURN_FALSE;
    py::object bits, kept;
    if (!freshBits(randomState, bits, kept)) Py_RETURN_FALSE;

    py::list given(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) given[i] = py::float_(xs[i]);
    const double inf = std::numeric_limits<double>::infinity();
    py::object core = py::cast(PythonSampler::fromC(target.address, target.takesData, target.data,
                                                    std::move(target.keepAlive),
                                                    PythonSampler::Domain{-inf, inf, std::move(xs)}, bits));
    SlotWriter slots(self);
    slots.set(Core, core.ptr());
    slots.set(Logpdf, logpdf);
    slots.set(Bits, kept.ptr());
    slots.set(DomainGiven, domain);
    slots.set(Vectorized, vectorized);
    slots.set(Data, data);
    slots.set(Check, check);
    slots.set(Seed, Py_None);
    slots.set(Starts, given.ptr());
    Py_RETURN_TRUE;
  });
}

template <class F>
PyCFunction asCFunction(F* f) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(f));
}

PyMethodDef updateDef{"update", asCFunction(&update), METH_FASTCALL,
                      "update(start, random_state): a Gibbs update and one draw"};
PyMethodDef drawDef{"draw", asCFunction(&draw), METH_FASTCALL, "draw(bit_generator): one draw"};
PyMethodDef moduleDefs[] = {
    {"fresh_c", asCFunction(&freshC), METH_FASTCALL,
     "fresh_c(self, logpdf, domain, starts, random_state, vectorized, data, check) -> bool"},
    {nullptr, nullptr, 0, nullptr}};

void addMethod(py::class_<PythonSampler>& cls, PyMethodDef* def) {
  PyObject* d = PyDescr_NewMethod(reinterpret_cast<PyTypeObject*>(cls.ptr()), def);
  if (d == nullptr) throw py::error_already_set();
  cls.attr(def->ml_name) = py::reinterpret_steal<py::object>(d);
}

}  // namespace

void addFastCalls(py::module_& m, py::class_<PythonSampler>& sampler) {
  addMethod(sampler, &updateDef);
  addMethod(sampler, &drawDef);
  if (PyModule_AddFunctions(m.ptr(), moduleDefs) != 0) throw py::error_already_set();
  m.def("use_checks", &useChecks);
}
