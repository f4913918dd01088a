// Exactness of the T-concave sampler by Kolmogorov-Smirnov on heavy tails,
// starts far from the mode, and its refusals.
#include "sampler/t_concave_sampler.h"

#include "support/kolmogorov_smirnov.h"
#include "support/t_concave_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

const double kInf = std::numeric_limits<double>::infinity();

TEST(TConcaveSampler, ManyDrawsMatchTheDistribution) {
  for (const TConcaveCase& c : heavyTailCases()) {
    for (std::uint64_t seed : {1u, 2u}) {
      ars::TConcaveSampler s(c.logpdf, c.lower, c.upper, c.transform, {}, {}, seed);
      std::vector<double> xs(200000);
      for (double& x : xs) x = s.sample();
      EXPECT_GE(ksPValue(xs, c.cdf), 1e-6) << c.name << " seed " << seed;
      EXPECT_LT(s.evaluations(), 400u) << c.name;
    }
  }
}

TEST(TConcaveSampler, RefusesWhatItCannotSampleExactly) {
  // Student t with nu = 0.5 is not concave under -1/sqrt(f).
  EXPECT_THROW(
      {
        ars::TConcaveSampler s([](double x) { return -0.75 * std::log1p(2 * x * x); }, -kInf, kInf);
        for (int i = 0; i < 100000; ++i) s.sample();
      },
      ars::NotLogConcave);
  // The Cauchy under log: its tails are log-convex.
  EXPECT_THROW(
      {
        ars::TConcaveSampler s([](double x) { return -std::log1p(x * x); }, -kInf, kInf,
                               ars::Transform::Log);
        for (int i = 0; i < 100000; ++i) s.sample();
      },
      ars::NotLogConcave);
  EXPECT_THROW(ars::TConcaveSampler([](double x) { return -x * x; }, 1, 0), std::invalid_argument);
  EXPECT_THROW(ars::TConcaveSampler([](double x) { return -x * x; }, 0, 1,
                                    ars::Transform::Log, {}, {2.0}),
               std::invalid_argument);
  EXPECT_THROW(ars::TConcaveSampler([](double x) { return std::log(x); }, -1, 1),
               std::invalid_argument);
}

TEST(TConcaveSampler, StartsFarFromTheModeFindAFiniteHat) {
  // Under -1/sqrt(f) the hull stays below 0 only with points near the mode;
  // from far out they are found by stepping and bisecting, not given up on.
  const std::vector<std::pair<const char*, std::function<double(double)>>> densities = {
      {"normal", [](double x) { return -0.5 * x * x; }},
      {"t30", [](double x) { return -15.5 * std::log1p(x * x / 30); }},
      {"cauchy", [](double x) { return -std::log1p(x * x); }}};
  std::mt19937_64 g(5);
  for (const auto& [name, h] : densities) {
    for (double start : {-37.0, 1000.0, 1e6}) {
      ars::TConcaveSampler s(h, -kInf, kInf, ars::Transform::InverseSqrt, {}, {start});
      std::vector<double> size(1001);
      for (double& x : size) x = std::fabs(s(g));
      std::nth_element(size.begin(), size.begin() + 500, size.end());
      EXPECT_LT(size[500], 1.5) << name << " from " << start;  // medians 0.67 to 1
      EXPECT_LT(s.evaluations(), 400u) << name << " from " << start;
    }
  }
}

TEST(TConcaveSampler, NarrowDensitiesFarFromTheStartAreFoundAtAnyScale) {
  // Widths down to 1e-11 of the distance to the mode, from the default start
  // and from far beyond it: the mode is bracketed by comparing values of h,
  // and the draws are exact.
  const double pi = std::acos(-1.0);
  struct Narrow {
    const char* name;
    double centre, scale;
    bool cauchy;
    std::vector<double> starts;
  };
  const Narrow cases[] = {{"normal 1e-6 at 1e4", 1e4, 1e-6, false, {}},
                          {"normal 1e-6 at 1e4 from 1e9", 1e4, 1e-6, false, {1e9}},
                          {"normal 1e-12 at 0 from 1e6", 0, 1e-12, false, {1e6}},
                          {"cauchy 1e-8 at 1e3", 1e3, 1e-8, true, {}},
                          {"cauchy 1e-8 at 1e3 from -1e12", 1e3, 1e-8, true, {-1e12}}};
  for (const Narrow& c : cases) {
    const auto h = [c](double x) {
      const double z = (x - c.centre) / c.scale;
      return c.cauchy ? -std::log1p(z * z) : -0.5 * z * z;
    };
    const auto cdf = [c, pi](double x) {
      const double z = (x - c.centre) / c.scale;
      return c.cauchy ? 0.5 + std::atan(z) / pi : 0.5 * std::erfc(-z / std::sqrt(2.0));
    };
    for (ars::Transform t : {ars::Transform::InverseSqrt, ars::Transform::Log}) {
      if (c.cauchy && t == ars::Transform::Log) continue;  // not log-concave
      // Under log, a split at the mode takes the piecewise path.
      const std::vector<double> splits =
          t == ars::Transform::Log ? std::vector<double>{c.centre} : std::vector<double>{};
      ars::TConcaveSampler s(h, -kInf, kInf, t, splits, c.starts, 4);
      std::vector<double> xs(30000);
      for (double& x : xs) x = s.sample();
      const char* how = t == ars::Transform::Log ? " under log" : " under -1/sqrt(f)";
      EXPECT_GE(ksPValue(xs, cdf), 1e-6) << c.name << how;
      EXPECT_LT(s.evaluations(), 400u) << c.name << how;
    }
  }
}

TEST(TConcaveSampler, ZeroDensityMovesAnEndIn) {
  // The half-normal given on the whole line: f = 0 left of 0.
  ars::TConcaveSampler s([](double x) { return x < 0 ? -kInf : -0.5 * x * x; }, -kInf, kInf,
                         ars::Transform::InverseSqrt, {}, {1.0}, 3);
  std::vector<double> xs(20000);
  for (double& x : xs) x = s.sample();
  EXPECT_GE(ksPValue(xs, [](double x) { return std::erf(x / std::sqrt(2.0)); }), 1e-6);
  EXPECT_LE(s.lowerLimit(), 0);
  EXPECT_GT(s.lowerLimit(), -kInf);
  // The same a billionth as wide, from 1e3: the zero is found at its scale.
  ars::TConcaveSampler narrow([](double x) { return x < 0 ? -kInf : -0.5 * (x * 1e9) * (x * 1e9); },
                              -kInf, kInf, ars::Transform::InverseSqrt, {}, {1e3}, 3);
  for (double& x : xs) x = narrow.sample() * 1e9;
  EXPECT_GE(ksPValue(xs, [](double x) { return std::erf(x / std::sqrt(2.0)); }), 1e-6);
  EXPECT_LT(narrow.evaluations(), 400u);
  // Zero between positive values is a proof, not a silent hole.
  EXPECT_THROW(
      {
        ars::TConcaveSampler gap([](double x) { return std::fabs(x) < 0.5 ? -kInf : -0.5 * x * x; },
                                 -kInf, kInf, ars::Transform::InverseSqrt, {}, {-1.0, 1.0});
        for (int i = 0; i < 100000; ++i) gap.sample();
      },
      ars::NotLogConcave);
}

TEST(TConcaveSampler, CopiesContinueIndependentlyAndSeedsReproduce) {
  ars::TConcaveSampler a([](double x) { return -std::log1p(x * x); }, -kInf, kInf,
                         ars::Transform::InverseSqrt, {}, {}, 11);
  for (int i = 0; i < 100; ++i) a.sample();
  ars::TConcaveSampler b = a;
  EXPECT_EQ(a.sample(), b.sample());
  EXPECT_GT(a.squeezeArea(), 0.5 * a.hatArea());
  EXPECT_LE(a.squeezeArea(), a.hatArea());
}

}  // namespace
