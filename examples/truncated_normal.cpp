// Draws from a standard normal truncated to [1, 3] and prints the sample mean
// and variance next to the exact ones.
#include <sampler/log_concave_sampler.h>

#include <cmath>
#include <cstdio>
#include <vector>

int main() {
  // The log-density up to a constant; the support is given separately.
  ars::LogConcaveSampler sampler([](double x) { return -0.5 * x * x; }, 1.0, 3.0, {}, 42);
  std::vector<double> draws(1000000);
  sampler.sample(draws.data(), draws.size());

  double sum = 0, squares = 0;
  for (double x : draws) sum += x, squares += x * x;
  const double mean = sum / draws.size(), variance = squares / draws.size() - mean * mean;

  const double pi = std::acos(-1.0);
  const auto phi = [pi](double x) { return std::exp(-0.5 * x * x) / std::sqrt(2 * pi); };
  const auto cdf = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
  const double z = cdf(3) - cdf(1), exactMean = (phi(1) - phi(3)) / z;
  const double exactVariance = 1 + (1 * phi(1) - 3 * phi(3)) / z - exactMean * exactMean;
  std::printf("mean %.5f (exact %.5f), variance %.5f (exact %.5f), %llu evaluations\n", mean,
              exactMean, variance, exactVariance,
              static_cast<unsigned long long>(sampler.counts().evaluations));
  return std::fabs(mean - exactMean) < 0.01 && std::fabs(variance - exactVariance) < 0.01 ? 0 : 1;
}
