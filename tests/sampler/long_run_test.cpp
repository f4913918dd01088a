// Ten million draws each of three densities through LogConcaveSampler: no
// report of a failure of log-concavity however long the run, the fit to the
// exact distribution still passes a chi-square test at p = 1e-6, and the work
// grows like N^(1/3). The sanitizer build runs fewer draws.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "sampler/log_concave_sampler.h"
#include "support/goodness_of_fit.h"

#ifndef ARS_LONG_RUN_DRAWS
#define ARS_LONG_RUN_DRAWS 10000000
#endif

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::size_t draws = ARS_LONG_RUN_DRAWS;

struct LongRun {
  std::string name;
  std::function<double(double)> logDensity;
  double lower;
  double upper;
  std::function<double(double)> cdf;
};

TEST(LongRun, TenMillionDrawsWithoutAReport) {
  const LongRun runs[] = {
      {"N(0,1)", [](double x) { return -0.5 * x * x; }, -inf, inf,
       [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }},
      {"logistic", [](double x) { return -x - 2 * std::log1p(std::exp(-x)); }, -inf, inf,
       [](double x) { return 1 / (1 + std::exp(-x)); }},
      {"Beta(2,3)", [](double x) { return std::log(x) + 2 * std::log1p(-x); }, 0, 1,
       [](double x) { return x * x * (6 - 8 * x + 3 * x * x); }},
  };
  for (const LongRun& run : runs) {
    SCOPED_TRACE(run.name);
    ars::LogConcaveSampler sampler(run.logDensity, run.lower, run.upper, {}, 7);
    std::vector<double> samples(draws);
    ASSERT_NO_THROW(sampler.sample(samples.data(), samples.size()));
    const int bins = equalProbabilityBins(samples.size());
    EXPECT_LT(chiSquare(samples, run.cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
    // Measured: about 3 N^(1/3) points (one per rejection) and 5 N^(1/3)
    // evaluations (the rest decide tail draws and the draws the squeeze leaves).
    const double scale = std::cbrt(static_cast<double>(draws));
    EXPECT_LT(static_cast<double>(sampler.counts().evaluations), 100 + 6 * scale);
    EXPECT_LT(static_cast<double>(sampler.points()), 100 + 4 * scale);
  }
}

}  // namespace
