#pragma once
// Uniform bits from a numpy BitGenerator (PCG64, MT19937, Philox, ...).
//
// numpy publishes each bit generator's C struct bitgen_t in the capsule
// `bit_generator.capsule`, and guards its state with `bit_generator.lock`,
// which every numpy method holds while it draws. NumpyBits reads the struct
// directly, so a draw costs one indirect call and no interpreter; BitSource
// keeps the Python object alive and takes its lock the way numpy does.
// A numpy BitGenerator's capsule and lock are read-only, so the last one
// seen is remembered: a Gibbs loop hands the same generator to every
// sampler it makes, and four attribute lookups cost more than a draw.
#include <pybind11/pybind11.h>

#include <cstdint>
#include <limits>

#include <numpy/random/bitgen.h>

// A UniformRandomBitGenerator over a bitgen_t that someone keeps alive.
class NumpyBits {
 public:
  using result_type = std::uint64_t;
  explicit NumpyBits(bitgen_t* g) : g_(g) {}
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }
  result_type operator()() { return g_->next_uint64(g_->state); }

 private:
  bitgen_t* g_;
};

// A numpy BitGenerator object: its bitgen_t and its lock.
class BitSource {
 public:
  // Throws TypeError unless `bitGenerator` is a numpy BitGenerator.
  explicit BitSource(pybind11::object bitGenerator);
  bitgen_t* bits() const { return bits_; }
  // Whether this is bitGenerator's (whose capsule and lock never change).
  bool isFrom(const pybind11::object& bitGenerator) const { return owner_.ptr() == bitGenerator.ptr(); }
  const pybind11::object& lock() const { return lock_; }
  // The lock's bound acquire and release, looked up once.
  PyObject* acquire() const { return acquire_.ptr(); }
  PyObject* release() const { return release_.ptr(); }

 private:
  BitSource() = default;
  pybind11::object owner_;
  pybind11::object lock_, acquire_, release_;
  bitgen_t* bits_ = nullptr;
};

// Holds a BitGenerator's lock for a scope. Blocking on it releases the GIL
// (it is a threading.Lock), so a thread drawing from the same generator
// without the GIL can finish. Needs the GIL to construct and destroy.
class BitLockHold {
 public:
  explicit BitLockHold(const BitSource& source);
  ~BitLockHold();
  BitLockHold(const BitLockHold&) = delete;
  BitLockHold& operator=(const BitLockHold&) = delete;

 private:
  const BitSource& source_;
};
