#pragma once
// The one-sample Kolmogorov-Smirnov test with its asymptotic p-value.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

inline double ksPValue(std::vector<double> xs, const std::function<double(double)>& cdf) {
  std::sort(xs.begin(), xs.end());
  const double n = static_cast<double>(xs.size());
  double d = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double F = cdf(xs[i]);
    d = std::max({d, F - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - F});
  }
  const double lambda = (std::sqrt(n) + 0.12 + 0.11 / std::sqrt(n)) * d;
  double p = 0;
  for (int k = 1; k < 100; ++k)
    p += 2 * ((k % 2) ? 1 : -1) * std::exp(-2.0 * k * k * lambda * lambda);
  return std::min(1.0, std::max(0.0, p));
}
