// The validation matrix of LogConcaveSampler: one table of densities, each
// with its support and the expected outcome, run from fixed seeds. Samples
// are checked by an equal-probability chi-square test against the exact
// distribution at p = 1e-6, and the work by the evaluations and points spent.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "density/test_density.h"
#include "sampler/ars.h"
#include "sampler/log_concave_sampler.h"
#include "support/goodness_of_fit.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

enum class Outcome { Samples, NotLogConcave, InvalidSetting };

struct Case {
  std::string name;
  std::function<double(double)> logDensity;
  double lower;
  double upper;
  Outcome outcome;
  std::function<double(double)> cdf;  // for Outcome::Samples
  std::vector<double> starts = {};
};

double normalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

std::function<double(double)> normalLog(double mean, double sd) {
  return [=](double x) { return -0.5 * ((x - mean) / sd) * ((x - mean) / sd); };
}

std::function<double(double)> normalCdfOf(double mean, double sd) {
  return [=](double x) { return normalCdf((x - mean) / sd); };
}

// N(0, 1) restricted to [a, b]; upper tails through erfc so that a far tail
// keeps its digits.
std::function<double(double)> truncatedNormalCdf(double a, double b) {
  if (a >= 0) {
    const double qa = std::erfc(a / std::sqrt(2.0));
    const double qb = std::erfc(b / std::sqrt(2.0));
    return [=](double x) { return (qa - std::erfc(x / std::sqrt(2.0))) / (qa - qb); };
  }
  const double pa = normalCdf(a), pb = normalCdf(b);
  return [=](double x) { return (normalCdf(x) - pa) / (pb - pa); };
}

std::function<double(double)> restricted(std::function<double(double)> h, double a, double b) {
  return [=](double x) { return x < a || x > b ? -inf : h(x); };
}

std::function<double(double)> gammaLog(double shape, double scale) {
  return [=](double x) { return x <= 0 ? -inf : (shape - 1) * std::log(x) - x / scale; };
}

std::function<double(double)> betaLog(double a, double b) {
  return [=](double x) {
    if (x < 0 || x > 1) return -inf;
    return (a - 1) * std::log(x) + (b - 1) * std::log1p(-x);
  };
}

std::function<double(double)> numeric(const std::function<double(double)>& h, double low,
                                      double high) {
  return NumericCdf(h, low, high);
}

std::vector<Case> matrix() {
  const auto betaTwoThree = betaLog(2, 3);
  const auto flatTop = [](double x) {
    const double d = std::fabs(x) - 1;
    return d > 0 ? -0.5 * d * d : 0.0;
  };
  const ARSTestDensity testDensity;
  return {
      {"N(0,1)", normalLog(0, 1), -inf, inf, Outcome::Samples, normalCdfOf(0, 1)},
      {"N(1000,1)", normalLog(1000, 1), -inf, inf, Outcome::Samples, normalCdfOf(1000, 1)},
      {"N(-1e4,0.01)", normalLog(-1e4, 0.01), -inf, inf, Outcome::Samples,
       normalCdfOf(-1e4, 0.01)},
      {"N(0,1e6)", normalLog(0, 1e6), -inf, inf, Outcome::Samples, normalCdfOf(0, 1e6)},
      {"N(-3,1)", normalLog(-3, 1), -inf, inf, Outcome::Samples, normalCdfOf(-3, 1)},
      {"N(6,1) from a start", normalLog(6, 1), -inf, inf, Outcome::Samples, normalCdfOf(6, 1),
       {5.0, 7.5}},
      {"N(0,1)+1000", [](double x) { return 1000 - 0.5 * x * x; }, -inf, inf, Outcome::Samples,
       normalCdfOf(0, 1)},
      {"N(0,1)-1000", [](double x) { return -1000 - 0.5 * x * x; }, -inf, inf, Outcome::Samples,
       normalCdfOf(0, 1)},
      {"N(0,1) on [0,1]", normalLog(0, 1), 0, 1, Outcome::Samples, truncatedNormalCdf(0, 1)},
      {"N(0,1) on [2,3]", normalLog(0, 1), 2, 3, Outcome::Samples, truncatedNormalCdf(2, 3)},
      {"N(0,1) on (-inf,-1]", normalLog(0, 1), -inf, -1, Outcome::Samples,
       truncatedNormalCdf(-40, -1)},
      {"N(0,1) on [8,inf)", normalLog(0, 1), 8, inf, Outcome::Samples,
       truncatedNormalCdf(8, 40)},
      {"N(0,1) on [5,inf)", normalLog(0, 1), 5, inf, Outcome::Samples,
       truncatedNormalCdf(5, 40)},
      {"half-normal", normalLog(0, 1), 0, inf, Outcome::Samples, truncatedNormalCdf(0, 40)},
      {"N(0,1) zero outside [-1,1], on the line", restricted(normalLog(0, 1), -1, 1), -inf, inf,
       Outcome::Samples, truncatedNormalCdf(-1, 1)},
      {"logistic", [](double x) { return -x - 2 * std::log1p(std::exp(-x)); }, -inf, inf,
       Outcome::Samples, [](double x) { return 1 / (1 + std::exp(-x)); }},
      {"Gumbel", [](double x) { return -x - std::exp(-x); }, -inf, inf, Outcome::Samples,
       [](double x) { return std::exp(-std::exp(-x)); }},
      {"Laplace", [](double x) { return -std::fabs(x); }, -inf, inf, Outcome::Samples,
       [](double x) { return x < 0 ? 0.5 * std::exp(x) : 1 - 0.5 * std::exp(-x); }},
      {"exponential", gammaLog(1, 1), 0, inf, Outcome::Samples,
       [](double x) { return x <= 0 ? 0.0 : -std::expm1(-x); }},
      {"exponential, scale 1e-8", gammaLog(1, 1e-8), 0, inf, Outcome::Samples,
       [](double x) { return x <= 0 ? 0.0 : -std::expm1(-x / 1e-8); }},
      {"gamma(2,1)", gammaLog(2, 1), 0, inf, Outcome::Samples, numeric(gammaLog(2, 1), 0, 60)},
      {"gamma(1000,1)", gammaLog(1000, 1), 0, inf, Outcome::Samples,
       numeric(gammaLog(1000, 1), 750, 1300)},
      {"gamma(5,1e-7)", gammaLog(5, 1e-7), 0, inf, Outcome::Samples,
       numeric(gammaLog(5, 1e-7), 0, 8e-6)},
      {"gamma(2,1e-9)", gammaLog(2, 1e-9), 0, inf, Outcome::Samples,
       numeric(gammaLog(2, 1e-9), 0, 6e-8)},
      {"beta(1,1)", betaLog(1, 1), 0, 1, Outcome::Samples, [](double x) { return x; }},
      {"beta(1,100)", betaLog(1, 100), 0, 1, Outcome::Samples,
       [](double x) { return x >= 1 ? 1.0 : -std::expm1(100 * std::log1p(-x)); }},
      {"beta(500,300)", betaLog(500, 300), 0, 1, Outcome::Samples,
       numeric(betaLog(500, 300), 0.45, 0.8)},
      {"beta(2,3) on a wider support", betaTwoThree, -1, 2, Outcome::Samples,
       numeric(betaTwoThree, 0, 1)},
      {"flat top", flatTop, -inf, inf, Outcome::Samples, numeric(flatTop, -12, 12)},

      {"Cauchy", [](double x) { return -std::log1p(x * x); }, -inf, inf, Outcome::NotLogConcave,
       nullptr},
      {"t(3)", [](double x) { return -2 * std::log1p(x * x / 3); }, -inf, inf,
       Outcome::NotLogConcave, nullptr},
      {"bimodal mixture",
       [](double x) { return std::log(std::exp(-0.5 * (x - 3) * (x - 3)) +
                                      std::exp(-0.5 * (x + 3) * (x + 3))); },
       -inf, inf, Outcome::NotLogConcave, nullptr},
      {"beta(0.5,0.5)", betaLog(0.5, 0.5), 0, 1, Outcome::NotLogConcave, nullptr},
      {"gamma(0.5,1)", gammaLog(0.5, 1), 0, inf, Outcome::NotLogConcave, nullptr},
      {"e^x on [0,inf)", [](double x) { return x; }, 0, inf, Outcome::NotLogConcave, nullptr},
      {"flat on [0,inf)", [](double) { return 0.0; }, 0, inf, Outcome::NotLogConcave, nullptr},
      {"the program's test density", [testDensity](double x) { return testDensity.logDensity(x); },
       0, 1, Outcome::NotLogConcave, nullptr},

      {"limits not ordered", normalLog(0, 1), 1, 0, Outcome::InvalidSetting, nullptr},
      {"limits equal", normalLog(0, 1), 1, 1, Outcome::InvalidSetting, nullptr},
      {"limit not a number", normalLog(0, 1), std::nan(""), 1, Outcome::InvalidSetting, nullptr},
      {"start outside the support", normalLog(0, 1), 0, 1, Outcome::InvalidSetting, nullptr,
       {2.0}},
      {"start where the density is zero", betaTwoThree, -1, 2, Outcome::InvalidSetting, nullptr,
       {-0.5}},
      {"logDensity NaN", [](double x) { return std::log(x); }, -1, 1, Outcome::InvalidSetting,
       nullptr, {0.5, -0.5}},
      {"density zero everywhere", [](double) { return -inf; }, -inf, inf,
       Outcome::InvalidSetting, nullptr},
  };
}

constexpr std::size_t drawsPerSeed = 20000;
const std::uint64_t seeds[] = {1, 20261208};

// The work allowed for one sampler and 20,000 draws: a start costs a few
// dozen evaluations (up to about 90 for a mode 10^6 of its scales away from
// the first probe), and refinement about 3 N^(1/3), some 80 here.
constexpr std::uint64_t maxEvaluations = 230;
constexpr std::size_t maxPoints = 160;

TEST(LogConcaveMatrix, EveryDensityHasItsExpectedOutcome) {
  for (const Case& c : matrix()) {
    SCOPED_TRACE(c.name);
    for (std::uint64_t seed : seeds) {
      switch (c.outcome) {
        case Outcome::Samples: {
          ars::LogConcaveSampler sampler(c.logDensity, c.lower, c.upper, c.starts, seed);
          std::vector<double> samples(drawsPerSeed);
          sampler.sample(samples.data(), samples.size());
          for (double x : samples) {
            ASSERT_TRUE(x >= c.lower && x <= c.upper) << x;
          }
          const int bins = equalProbabilityBins(samples.size());
          EXPECT_LT(chiSquare(samples, c.cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ))
              << "seed " << seed;
          EXPECT_LE(sampler.counts().evaluations, maxEvaluations) << "seed " << seed;
          EXPECT_LE(sampler.points(), maxPoints) << "seed " << seed;
          EXPECT_GE(sampler.counts().draws, drawsPerSeed);
          break;
        }
        case Outcome::NotLogConcave:
          EXPECT_THROW(
              {
                ars::LogConcaveSampler sampler(c.logDensity, c.lower, c.upper, c.starts, seed);
                for (int i = 0; i < 200000; ++i) sampler.sample();
              },
              ARSSampler::XNotLogConcave)
              << "seed " << seed;
          break;
        case Outcome::InvalidSetting:
          EXPECT_THROW(
              {
                ars::LogConcaveSampler sampler(c.logDensity, c.lower, c.upper, c.starts, seed);
                for (int i = 0; i < 1000; ++i) sampler.sample();
              },
              std::invalid_argument)
              << "seed " << seed;
          break;
      }
    }
  }
}

}  // namespace
