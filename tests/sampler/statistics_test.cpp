// Chi-square goodness of fit of long runs against the exact distribution,
// over equal-probability bins of the numerically integrated density.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "support/engine_fixtures.h"

namespace {

class ExactDistribution {
 public:
  // Tabulates the cumulative distribution of exp(logDensity) on [low, high].
  ExactDistribution(const std::function<double(double)>& logDensity, double low, double high,
                    int intervals = 400000)
      : low_(low), width_((high - low) / intervals), cdf_(intervals + 1, 0.0) {
    double previous = std::exp(logDensity(low));
    for (int i = 1; i <= intervals; ++i) {
      const double value = std::exp(logDensity(low + i * width_));
      cdf_[i] = cdf_[i - 1] + 0.5 * (previous + value) * width_;
      previous = value;
    }
    const double total = cdf_.back();
    for (double& c : cdf_) c /= total;
  }

  double cdf(double x) const {
    const double position = (x - low_) / width_;
    if (position <= 0) return 0.0;
    const auto i = static_cast<std::size_t>(position);
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
double chiSquareQuantile(int degrees, double z) {
  const double a = 2.0 / (9.0 * degrees);
  return degrees * std::pow(1 - a + z * std::sqrt(a), 3);
}

double chiSquare(const std::vector<double>& samples, const ExactDistribution& exact, int bins) {
  std::vector<int> counts(bins, 0);
  for (double x : samples) {
    const int bin = std::min(bins - 1, static_cast<int>(exact.cdf(x) * bins));
    ++counts[bin];
  }
  const double expected = static_cast<double>(samples.size()) / bins;
  double statistic = 0;
  for (int c : counts) statistic += (c - expected) * (c - expected) / expected;
  return statistic;
}

void expectFits(ARSDensity& density, bool upperBounded, double low, double high, int n = 20000) {
  SamplerRig rig(density, upperBounded);
  std::vector<double> samples;
  samples.reserve(n);
  for (int i = 0; i < n; ++i) samples.push_back(rig.sampler.sample());
  const ExactDistribution exact([&density](double x) { return density.logDensity(x); }, low,
                                high);
  const int bins = static_cast<int>(std::lround(2 * std::pow(n, 0.4)));
  const double statistic = chiSquare(samples, exact, bins);
  // p = 1e-6 lies about 4.75 standard deviations out.
  EXPECT_LT(statistic, chiSquareQuantile(bins - 1, 4.753)) << "bins " << bins;
}

TEST(Statistics, BetaTwoThree) {
  ARSBetaDensity beta = betaDensity(2, 3);
  expectFits(beta, true, 1e-6, 0.999999);

  SamplerRig rig(beta);
  double sum = 0, sumSquares = 0;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    const double x = rig.sampler.sample();
    sum += x;
    sumSquares += x * x;
  }
  const double mean = sum / n;
  EXPECT_NEAR(mean, 0.4, 0.006);
  EXPECT_NEAR(sumSquares / n - mean * mean, 0.04, 0.002);
}

TEST(Statistics, GammaTenPointOne) {
  ARSGammaDensity gamma = gammaDensity(10, 0.1);
  expectFits(gamma, false, 2e-6, 10.0);
}

TEST(Statistics, TruncatedNormal) {
  FunctionDensity normal([](double x) {
    return x <= 0 || x >= 1 ? -1000.0 : -0.5 * (x - 0.3) * (x - 0.3) / 0.04;
  });
  expectFits(normal, true, 1e-6, 0.999999);
}

TEST(Statistics, ChiSquareDetectsAWrongDistribution) {
  // The check itself must have teeth: Beta(2,3) samples against Beta(2,3.3).
  ARSBetaDensity beta = betaDensity(2, 3);
  SamplerRig rig(beta);
  std::vector<double> samples;
  for (int i = 0; i < 20000; ++i) samples.push_back(rig.sampler.sample());
  const ExactDistribution other(
      [](double x) { return std::log(x) + 2.3 * std::log(1 - x); }, 1e-6, 0.999999);
  EXPECT_GT(chiSquare(samples, other, 105), chiSquareQuantile(104, 4.753));
}

}  // namespace
