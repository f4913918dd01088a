#pragma once
// The state of a fresh LogConcaveSampler built without the interpreter:
// what __init__ sets in its slots, for a Gibbs update's plain arguments (the
// C function recognised last, a few starts, an address as data, a numpy
// generator); anything else is left to __init__.
#include <pybind11/pybind11.h>
#include <structmember.h>

#include <array>

namespace fresh {

// The slots of LogConcaveSampler that __init__ sets, in its order.
enum Slot { Core, Logpdf, Bits, DomainGiven, Vectorized, Data, Check, Seed, Starts, Slots };
using SlotValues = std::array<pybind11::object, Slots>;
using SlotMembers = std::array<PyMemberDef*, Slots>;

PyObject* slotName(int slot);
// The member descriptors of type's slots; false unless all are plain
// object slots.
bool lookUpSlots(PyTypeObject* type, SlotMembers& members);
inline PyObject*& slotOf(PyObject* self, const PyMemberDef* member) {
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
bool buildFresh(const FreshArgs& a, SlotValues& slots);

}  // namespace fresh
