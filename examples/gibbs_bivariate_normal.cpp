// A Gibbs sampler of a bivariate normal with correlation 0.5: each full
// conditional gets a fresh sampler, started at the chain's current value and
// drawing from the chain's one generator. Prints the variance of x and its
// lag-1 autocorrelation (exactly 1 and 0.25).
#include <sampler/log_concave_sampler.h>

#include <cmath>
#include <cstdio>
#include <random>

int main() {
  const double rho = 0.5, sd = std::sqrt(1 - rho * rho);
  std::mt19937_64 rng(2026);  // any UniformRandomBitGenerator
  double x = 0, y = 0, sum = 0, squares = 0, lagged = 0, previous = 0;
  const int n = 100000;
  for (int i = 0; i < n; ++i) {
    // x | y ~ N(rho y, 1 - rho^2), given only by its log-density.
    ars::LogConcaveSampler px([&](double v) { return -0.5 * std::pow((v - rho * y) / sd, 2); },
                              -INFINITY, INFINITY, {x});
    x = px.sample(rng);
    ars::LogConcaveSampler py([&](double v) { return -0.5 * std::pow((v - rho * x) / sd, 2); },
                              -INFINITY, INFINITY, {y});
    y = py.sample(rng);
    sum += x, squares += x * x, lagged += x * previous, previous = x;
  }
  const double mean = sum / n, variance = squares / n - mean * mean;
  const double lag1 = (lagged / n - mean * mean) / variance;
  std::printf("variance %.4f (exact 1), lag-1 autocorrelation %.4f (exact %.2f)\n", variance,
              lag1, rho * rho);
  return std::fabs(variance - 1) < 0.03 && std::fabs(lag1 - rho * rho) < 0.02 ? 0 : 1;
}
