#pragma once
// Seeds for generators that nobody seeded: a different one at every call.
#include <cstdint>

namespace ars::detail {

struct FreshSeed {
  std::uint64_t state;   // entropy of the process, mixed with the clock
  std::uint64_t stream;  // a count: no two calls in one process share it
};

// Thread-safe. std::random_device is asked once per process; the clock keeps
// processes forked from one parent apart, the count keeps samplers apart.
FreshSeed freshSeed();

}  // namespace ars::detail
