#pragma once
// The one-sample Kolmogorov-Smirnov test with its asymptotic p-value.
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

// The largest distance of the empirical CDF of xs from cdf.
inline double ksDistance(std::vector<double> xs, const std::function<double(double)>& cdf) {
  std::sort(xs.begin(), xs.end());
  const double n = static_cast<double>(xs.size());
  double d = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double F = cdf(xs[i]);
    d = std::max({d, F - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - F});
  }
  return d;
}

// The same for values in [0, 1] against the uniform (probability transforms).
inline double ksFromUniform(std::vector<double> u) {
  return ksDistance(std::move(u), [](double v) { return v; });
}

inline double ksPValue(std::vector<double> xs, const std::function<double(double)>& cdf) {
  const double n = static_cast<double>(xs.size());
  const double d = ksDistance(std::move(xs), cdf);
  const double lambda = (std::sqrt(n) + 0.12 + 0.11 / std::sqrt(n)) * d;
  double p = 0;
  for (int k = 1; k < 100; ++k)
    p += 2 * ((k % 2) ? 1 : -1) * std::exp(-2.0 * k * k * lambda * lambda);
  return std::min(1.0, std::max(0.0, p));
}
