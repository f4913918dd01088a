#include "sampler/fresh_seed.h"

#include <atomic>
#include <chrono>
#include <random>

namespace ars::detail {

namespace {

// SplitMix64's finaliser: nearby inputs give unrelated outputs.
std::uint64_t mix(std::uint64_t z) {
  z += 0x9e3779b97f4a7c15u;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
  return z ^ (z >> 31);
}

std::uint64_t processEntropy() {
  try {
    std::random_device device;
    const std::uint64_t high = device();
    return (high << 32) ^ device();
  } catch (...) {
    // No entropy source: the clock alone still differs between runs.
    return mix(static_cast<std::uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count()));
  }
}

}  // namespace

FreshSeed freshSeed() {
  static const std::uint64_t entropy = processEntropy();
  static std::atomic<std::uint64_t> count{0};
  const std::uint64_t n = count.fetch_add(1, std::memory_order_relaxed);
  return {mix(entropy ^ mix(n)), n};
}

}  // namespace ars::detail
