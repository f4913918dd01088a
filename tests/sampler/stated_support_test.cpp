// Supports stated by the log-density itself ("if (x < a) return -infinity")
// inside a wider declared support: found without a start, drawn exactly,
// fresh and through warm updates; a support no search can find is reported
// with the abscissae tried, after a bounded number of evaluations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "sampler/log_concave_sampler.h"
#include "support/goodness_of_fit.h"
#include "support/kolmogorov_smirnov.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

struct Stated {
  const char* name;
  std::function<double(double)> h;
  double lower, upper;  // declared
  double low, high;     // where the density lies (for the distribution function)
};

// A normal of the given mode and scale, zero outside [a, b].
std::function<double(double)> cutNormal(double a, double b, double mode, double scale) {
  return [=](double x) {
    if (x < a || x > b) return -inf;
    const double z = (x - mode) / scale;
    return -0.5 * z * z;
  };
}

std::vector<Stated> cases() {
  return {
      {"normal on [1, 3], declared the line", cutNormal(1, 3, 0, 1), -inf, inf, 1, 3},
      {"normal on [1, 3], declared (-inf, 10]", cutNormal(1, 3, 0, 1), -inf, 10, 1, 3},
      {"exponential from 40, declared the line",
       [](double x) { return x < 40 ? -inf : -0.5 * (x - 40); }, -inf, inf, 40, 120},
      {"exponential below -5, declared the line",
       [](double x) { return x > -5 ? -inf : 2 * (x + 5); }, -inf, inf, -30, -5},
      {"width 1e-6 at 2.5e-6", cutNormal(2.5e-6, 3.5e-6, 3.1e-6, 4e-7), -inf, inf, 2.5e-6, 3.5e-6},
      {"width 1e6 at -3e6, declared (-inf, 0]", cutNormal(-3e6, -2e6, -2.2e6, 3e5), -inf, 0, -3e6, -2e6},
      {"width 1 at 100, declared the line", cutNormal(100, 101, 100.2, 0.5), -inf, inf, 100, 101},
      {"width 1e-3 against the end of [0, 1e6]",
       [](double x) { return x > 1e-3 ? -inf : -2000 * x; }, 0, 1e6, 0, 1e-3},
      {"normal on [7, 8], declared (-inf, 10]", cutNormal(7, 8, 9, 2), -inf, 10, 7, 8},
  };
}

double ks(const Stated& c, const std::vector<double>& x) {
  const NumericCdf cdf(c.h, c.low, c.high, 20000);
  return ksPValue(x, [&](double v) { return cdf(v); });
}

TEST(StatedSupport, FoundWithoutAStartAndDrawnExactly) {
  for (const Stated& c : cases()) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
      try {
        ars::LogConcaveSampler s(c.h, c.lower, c.upper, {}, seed);
        std::vector<double> x(20000);
        s.sample(x.data(), x.size());
        EXPECT_GT(ks(c, x), 1e-6);
        for (double v : x) ASSERT_TRUE(v >= c.low && v <= c.high) << v;
        EXPECT_LT(s.counts().evaluations, 5000u);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
  }
}

// One draw per update, as a Gibbs sampler uses it: each conditional's support
// is stated by -infinity, the warm path's guides from the last one miss it.
TEST(StatedSupport, FoundByEveryWarmUpdate) {
  const std::vector<Stated> all = cases();
  for (std::uint64_t seed : {4u, 5u}) {
    ars::LogConcaveSampler s([](double x) { return -0.5 * x * x; }, -inf, inf, {}, seed);
    std::vector<std::vector<double>> draws(all.size());
    for (int i = 0; i < 2000; ++i) {
      for (std::size_t k = 0; k < all.size(); ++k) {
        SCOPED_TRACE(std::string(all[k].name) + ", seed " + std::to_string(seed));
        ASSERT_NO_THROW(s.warmReset(all[k].h, all[k].lower, all[k].upper));
        draws[k].push_back(s.sample());
      }
    }
    for (std::size_t k = 0; k < all.size(); ++k) {
      EXPECT_GT(ks(all[k], draws[k]), 1e-6) << all[k].name << ", seed " << seed;
    }
  }
}

TEST(StatedSupport, AHiddenSupportIsReportedWithTheAbscissaeTried) {
  std::uint64_t calls = 0;
  const auto needle = [&](double x) {
    ++calls;
    return x > 1000.1 && x < 1000.1 + 1e-9 ? 0.0 : -inf;
  };
  for (const auto& [lower, upper] : {std::pair{-inf, inf}, std::pair{-inf, 2000.0}, std::pair{0.0, 2000.0}}) {
    calls = 0;
    try {
      ars::LogConcaveSampler s(needle, lower, upper, {}, 1);
      ADD_FAILURE() << "no error on [" << lower << ", " << upper << "]";
    } catch (const std::invalid_argument& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("-infinity at all"), std::string::npos) << what;
      EXPECT_NE(what.find("abscissae tried"), std::string::npos) << what;
      EXPECT_NE(what.find("starting abscissa"), std::string::npos) << what;
    }
    EXPECT_LT(calls, 20000u);
    // With a start it is found.
    ars::LogConcaveSampler s(needle, lower, upper, {1000.1 + 5e-10}, 1);
    const double x = s.sample();
    EXPECT_TRUE(x > 1000.1 && x < 1000.1 + 1e-9);
  }
}

}  // namespace
