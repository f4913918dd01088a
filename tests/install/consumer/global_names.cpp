// The 1.x global names, for code that asks for them.
#define ARS_GLOBAL_NAMES
#include <sampler/log_concave_sampler.h>

#include <cmath>

int globalNamesOnRequest() {
  LogConcaveSampler s([](double x) { return -0.5 * x * x; }, 0, 1, {}, 5);
  const SamplerCounts& counts = s.counts();
  const double x = s.sample();
  return counts.evaluations > 0 && x > 0 && x < 1 ? 0 : 1;
}
