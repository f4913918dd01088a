#pragma once
// Seeds for generators that nobody seeded: a different one at every call.
#include <cstdint>

namespace ars::detail {

struct FreshSeed {
  std::uint64_t state;   // entropy of the process, mixed with the count
  std::uint64_t stream;  // the count: no two calls in one process share it
};

// Thread-safe and cheap (no system call after the first): std::random_device
// is asked once per process. Children forked from one process continue its
// entropy and count alike, so they repeat each other's seeds.
FreshSeed freshSeed();

}  // namespace ars::detail
