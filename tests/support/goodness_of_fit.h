#pragma once
// Exact distributions for goodness-of-fit tests of samplers, and the
// equal-probability chi-square test at p = 1e-6.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

// The cumulative distribution of exp(logDensity) on [low, high] (a range that
// holds all but a negligible part of the mass), tabulated by Simpson's rule
// on a fine grid, relative to the largest value on the grid.
class NumericCdf {
 public:
  NumericCdf(const std::function<double(double)>& logDensity, double low, double high,
             int intervals = 200000)
      : low_(low), width_((high - low) / intervals), cdf_(intervals + 1, 0.0) {
    std::vector<double> h(2 * intervals + 1);
    double top = -INFINITY;
    for (int i = 0; i <= 2 * intervals; ++i) {
      h[i] = logDensity(low + 0.5 * i * width_);
      top = std::max(top, h[i]);
    }
    const auto f = [&](int i) { return std::exp(h[i] - top); };
    for (int i = 1; i <= intervals; ++i) {
      cdf_[i] = cdf_[i - 1] + width_ / 6 * (f(2 * i - 2) + 4 * f(2 * i - 1) + f(2 * i));
    }
    const double total = cdf_.back();
    for (double& c : cdf_) c /= total;
  }

  double operator()(double x) const {
    const double position = (x - low_) / width_;
    if (!(position > 0)) return 0.0;
    const auto i = static_cast<std::size_t>(std::min(position, 1e18));
    if (i + 1 >= cdf_.size()) return 1.0;
    const double f = position - static_cast<double>(i);
    return cdf_[i] + f * (cdf_[i + 1] - cdf_[i]);
  }

 private:
  double low_;
  double width_;
  std::vector<double> cdf_;
};

// Upper quantile of the chi-square law (Wilson and Hilferty), z standard deviations out.
inline double chiSquareQuantile(int degrees, double z) {
  const double a = 2.0 / (9.0 * degrees);
  return degrees * std::pow(1 - a + z * std::sqrt(a), 3);
}

// p = 1e-6 lies about 4.753 standard deviations out.
constexpr double chiSquareZ = 4.753;

inline int equalProbabilityBins(std::size_t n) {
  return static_cast<int>(std::lround(2 * std::pow(static_cast<double>(n), 0.4)));
}

// Statistic over `bins` cells of equal probability under cdf.
inline double chiSquare(const std::vector<double>& samples,
                        const std::function<double(double)>& cdf, int bins) {
  std::vector<double> counts(bins, 0.0);
  for (double x : samples) {
    const int bin = std::min(bins - 1, static_cast<int>(cdf(x) * bins));
    counts[std::max(0, bin)] += 1;
  }
  const double expected = static_cast<double>(samples.size()) / bins;
  double statistic = 0;
  for (double c : counts) statistic += (c - expected) * (c - expected) / expected;
  return statistic;
}
