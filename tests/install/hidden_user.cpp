// A user's shared library, compiled with hidden visibility, that draws with
// the static engine: it must export its own function and nothing of ars.
#include "sampler/t_concave_sampler.h"

#include <cmath>
#include <random>

__attribute__((visibility("default"))) double hiddenUserDraw(unsigned seed) {
  std::mt19937_64 g(seed);
  ars::LogConcaveSampler normal([](double x) { return -0.5 * x * x; }, -INFINITY, INFINITY);
  ars::TConcaveSampler cauchy([](double x) { return -std::log1p(x * x); }, -INFINITY, INFINITY);
  return normal(g) + cauchy(g);
}
