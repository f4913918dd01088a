#include "normal_tail.h"

#include <sampler/log_concave_sampler.h>

#include <limits>

double normalTailMean(double a, int n, unsigned long long seed) {
  ars::LogConcaveSampler tail([](double x) { return -0.5 * x * x; }, a,
                              std::numeric_limits<double>::infinity(), {}, seed);
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += tail.sample();
  return sum / n;
}
