// Draws through the shared library and directly, as a standard distribution.
#include <sampler/log_concave_sampler.h>
#include <sampler/version.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "normal_tail.h"

static_assert(__cplusplus >= 201703L, "the engine's requirement raises the standard");
static_assert(ARS_VERSION_MAJOR >= 2, "version macros are installed");

// The library declares nothing in the global namespace: these names are free.
namespace {
struct LogConcaveSampler {
  int own;
};
struct SamplerCounts {
  int own;
};
}  // namespace

int globalNamesOnRequest();

// A refusal thrown inside the library (a shared one too, whose internals
// are hidden) is caught by its public type.
static bool refusalCaught() {
  try {
    ars::LogConcaveSampler convex([](double x) { return x * x; }, -1, 1, {}, 1);
    convex.sample();
  } catch (const ars::NotLogConcave& e) {
    return std::strlen(e.what()) > 0;
  }
  return false;
}

int main() {
  const LogConcaveSampler mine{1};
  const SamplerCounts counts{2};
  // E(X | X > 2) for a standard normal: phi(2) / (1 - Phi(2)).
  const double exact = std::exp(-2.0) / std::sqrt(2 * std::acos(-1.0)) / (0.5 * std::erfc(std::sqrt(2.0)));
  const double viaLibrary = normalTailMean(2.0, 200000, 7);
  ars::LogConcaveSampler logistic([](double x) { return -x - 2 * std::log1p(std::exp(-x)); },
                                  -INFINITY, INFINITY);
  std::mt19937_64 rng(3);
  double sum = 0;
  for (int i = 0; i < 100000; ++i) sum += logistic(rng);
  std::printf("%s: tail mean %.4f (exact %.4f), logistic mean %.4f\n", ARS_VERSION_STRING,
              viaLibrary, exact, sum / 100000);
  const bool ok = std::fabs(viaLibrary - exact) < 0.01 && std::fabs(sum / 100000) < 0.03 &&
                  std::strlen(ARS_VERSION_STRING) > 0 && mine.own + counts.own == 3 &&
                  globalNamesOnRequest() == 0 && refusalCaught();
  return ok ? 0 : 1;
}
