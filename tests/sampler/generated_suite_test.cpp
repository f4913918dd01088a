// A generated suite of log-concave densities: sums of concave terms
// (quadratic, |x - c|, Gumbel-type exponentials, k log, log-logistic,
// piecewise linear) at scales from 1e-6 to 1e6, far locations and every kind
// of support, from a fixed seed. Each is drawn from, with several seeds, and checked by a
// Kolmogorov-Smirnov test against its numerically integrated distribution
// (p = 1e-6) and by "no draw where h is far below its maximum". The same
// densities again with h = -infinity outside a narrower stretch, on the
// support as declared before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "sampler/log_concave_sampler.h"

#ifndef ARS_GENERATED_CASES
#define ARS_GENERATED_CASES 300
#endif
#ifndef ARS_GENERATED_SEEDS
#define ARS_GENERATED_SEEDS 5
#endif

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

struct Term {
  int kind;
  double centre;
  double scale;
  double sign;  // orientation of one-sided terms
  double weight;
};

double value(const Term& t, double x) {
  const double z = t.sign * (x - t.centre) / t.scale;
  switch (t.kind) {
    case 0:
      return -0.5 * t.weight * z * z;
    case 1:
      return -t.weight * std::fabs(z);
    case 2:  // Gumbel-type: linear one way, doubly exponential the other
      return t.weight * (-z - std::exp(-z));
    case 3:  // k log: zero density beyond the centre
      return z > 0 ? t.weight * std::log(z) : -inf;
    case 4:  // log-logistic, falling one way only
      return z > 0 ? -t.weight * (z + std::log1p(std::exp(-z))) : -t.weight * std::log1p(std::exp(z));
    default:  // piecewise linear: the lower of two lines through the centre
      return std::min(t.weight * z, -2 * t.weight * z);
  }
}

// Which way a term falls without bound: +1 to the right, -1 to the left, 0 both.
int falls(const Term& t) {
  switch (t.kind) {
    case 0:
    case 1:
    case 2:
    case 5:
      return 0;
    case 4:
      return t.sign > 0 ? 1 : -1;
    default:
      return 2;  // k log: rises without bound
  }
}

struct Generated {
  std::vector<Term> terms;
  double lower;
  double upper;
  double location;
  double scale;
  std::vector<double> starts;  // where nothing but a start could find the density
  std::string text;
  // A support stated by h = -infinity outside [cutLow, cutHigh].
  double cutLow = -inf;
  double cutHigh = inf;
  double operator()(double x) const {
    if (x < cutLow || x > cutHigh) return -inf;
    double sum = 0;
    for (const Term& t : terms) sum += value(t, x);
    return sum;
  }
};

Generated generate(std::mt19937_64& g) {
  std::uniform_real_distribution<double> u(0, 1);
  Generated d;
  d.scale = std::pow(10.0, -6 + 12 * u(g));
  const double far = u(g) < 0.3 ? std::pow(10.0, 9 * u(g)) : 3 * u(g);
  d.location = (u(g) < 0.5 ? -1 : 1) * far * d.scale;
  const int count = 1 + static_cast<int>(3 * u(g));
  bool right = false, left = false;
  for (int i = 0; i < count; ++i) {
    Term t{static_cast<int>(6 * u(g)), d.location + d.scale * (2 * u(g) - 1),
           d.scale * std::pow(10.0, u(g) - 0.5), u(g) < 0.5 ? -1.0 : 1.0, 0.5 + 2 * u(g)};
    if (t.kind == 3) t.centre = d.location - t.sign * d.scale * (1 + u(g));
    const int f = falls(t);
    if (f == 2) {
      (t.sign > 0 ? left : right) = true;  // the zero closes one side
    } else if (f == 0) {
      left = right = true;
    } else {
      (f > 0 ? right : left) = true;
    }
    d.terms.push_back(t);
  }
  const int support = static_cast<int>(4 * u(g));
  d.lower = -inf;
  d.upper = inf;
  if (support == 1 || support == 3) d.lower = d.location - d.scale * 3 * u(g);
  if (support == 2 || support == 3) d.upper = d.location + d.scale * 3 * u(g);
  const bool k = std::any_of(d.terms.begin(), d.terms.end(), [](const Term& t) { return t.kind == 3; });
  if (k) {
    d.lower = -inf;
    d.upper = inf;
  }
  // Zeros on both sides of a stretch far narrower than its distance from 0:
  // no search could find it, so the caller gives a start.
  int closedLeft = 0, closedRight = 0;
  for (const Term& t : d.terms) {
    if (t.kind == 3) (t.sign > 0 ? closedLeft : closedRight) = 1;
  }
  // Likewise where Gumbel-type terms vanish (overflow to -infinity) within a
  // stretch far narrower than the distance from 0.
  const bool vanishing = std::any_of(d.terms.begin(), d.terms.end(),
                                     [](const Term& t) { return t.kind == 2 || t.kind == 3; });
  if ((closedLeft && closedRight) || (vanishing && std::fabs(d.location) > 1e4 * d.scale)) {
    d.starts = {d.location};
  }
  // An end that nothing closes gets a term that falls there.
  if ((d.upper == inf && !right) || (d.lower == -inf && !left)) {
    d.terms.push_back({0, d.location, d.scale * 3, 1, 1});
  }
  std::ostringstream text;
  text.precision(6);
  text << "support [" << d.lower << ", " << d.upper << "] terms";
  for (const Term& t : d.terms) {
    text << " (kind " << t.kind << " centre " << t.centre << " scale " << t.scale << " sign "
         << t.sign << " weight " << t.weight << ")";
  }
  d.text = text.str();
  return d;
}

// The distribution function by Simpson's rule where h is within 60 of its
// largest value on a first coarse grid.
class Cdf {
 public:
  Cdf(const Generated& d, double low, double high) {
    const int coarse = 20000;
    double top = -inf;
    std::vector<double> h(coarse + 1);
    for (int i = 0; i <= coarse; ++i) {
      h[i] = d(low + (high - low) * i / coarse);
      top = std::max(top, h[i]);
    }
    int first = 0, last = coarse;
    while (first < coarse && !(h[first] > top - 60)) ++first;
    while (last > 0 && !(h[last] > top - 60)) --last;
    low_ = low + (high - low) * std::max(0, first - 1) / coarse;
    const double hi = low + (high - low) * std::min(coarse, last + 1) / coarse;
    const int n = 40000;
    width_ = (hi - low_) / n;
    cdf_.assign(n + 1, 0.0);
    std::vector<double> f(2 * n + 1);
    top_ = -inf;
    for (int i = 0; i <= 2 * n; ++i) {
      f[i] = d(low_ + 0.5 * i * width_);
      top_ = std::max(top_, f[i]);
    }
    for (double& v : f) v = std::exp(v - top_);
    for (int i = 1; i <= n; ++i) {
      cdf_[i] = cdf_[i - 1] + width_ / 6 * (f[2 * i - 2] + 4 * f[2 * i - 1] + f[2 * i]);
    }
    for (double& c : cdf_) c /= cdf_.back();
  }
  double operator()(double x) const {
    const double position = (x - low_) / width_;
    if (!(position > 0)) return 0.0;
    const auto i = static_cast<std::size_t>(std::min(position, 1e18));
    if (i + 1 >= cdf_.size()) return 1.0;
    return cdf_[i] + (position - static_cast<double>(i)) * (cdf_[i + 1] - cdf_[i]);
  }
  double top() const { return top_; }

 private:
  double low_ = 0;
  double width_ = 0;
  double top_ = 0;
  std::vector<double> cdf_;
};

TEST(GeneratedSuite, EveryDensityIsDrawnExactlyWithEverySeed) {
  std::mt19937_64 g(20261208);
  const int cases = ARS_GENERATED_CASES;
  const std::size_t n = 4000;
  // p = 1e-6 for the Kolmogorov-Smirnov statistic.
  const double critical = std::sqrt(-0.5 * std::log(0.5e-6) / static_cast<double>(n));
  for (int c = 0; c < cases; ++c) {
    const Generated d = generate(g);
    const double reach = 80 * d.scale * 10;
    const Cdf cdf(d, std::max(d.lower, d.location - reach), std::min(d.upper, d.location + reach));
    // A fault of the draw loop may show with one seed in many: each density
    // is drawn with several.
    for (int k = 0; k < ARS_GENERATED_SEEDS; ++k) {
      const std::uint64_t seed = 1000 + static_cast<std::uint64_t>(c) + 7919 * static_cast<std::uint64_t>(k);
      SCOPED_TRACE("case " + std::to_string(c) + " seed " + std::to_string(seed) + ": " + d.text);
      std::vector<double> x(n);
      std::uint64_t evaluations = 0;
      try {
        ars::LogConcaveSampler sampler(d, d.lower, d.upper, d.starts, seed);
        sampler.sample(x.data(), n);
        evaluations = sampler.counts().evaluations;
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        continue;
      }
      std::sort(x.begin(), x.end());
      double ks = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const double f = cdf(x[i]);
        ks = std::max({ks, f - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - f});
      }
      EXPECT_LT(ks, critical);
      for (double v : {x.front(), x.back()}) EXPECT_GT(d(v), cdf.top() - 50) << v;
      EXPECT_LT(evaluations, 2000u);
    }
  }
}

// The density as a user states a support: "if (x < a) return -infinity",
// with the declared support left wider (often the whole line).
TEST(GeneratedSuite, DensitiesCutByMinusInfinityAreDrawnExactly) {
  std::mt19937_64 g(20261209);
  std::uniform_real_distribution<double> u(0, 1);
  const int cases = ARS_GENERATED_CASES / 3;
  const std::size_t n = 4000;
  const double critical = std::sqrt(-0.5 * std::log(0.5e-6) / static_cast<double>(n));
  for (int c = 0; c < cases; ++c) {
    Generated d = generate(g);
    const int sides = static_cast<int>(3 * u(g));  // 0: both cut, 1: low only, 2: high only
    if (sides != 2) d.cutLow = std::max(d.lower, d.location - d.scale * (0.1 + 2 * u(g)));
    if (sides != 1) d.cutHigh = std::min(d.upper, d.location + d.scale * (0.1 + 2 * u(g)));
    // Or only the cut says where the density ends.
    if (u(g) < 0.5) {
      if (d.cutLow > -inf) d.lower = -inf;
      if (d.cutHigh < inf) d.upper = inf;
    }
    // A stretch far narrower than its distance from 0 needs a start.
    const double width = std::min(d.cutHigh, d.location + d.scale) - std::max(d.cutLow, d.location - d.scale);
    if (!d.starts.empty() || std::fabs(d.location) > 30 * width) d.starts = {d.location};
    const double reach = 80 * d.scale * 10;
    const double low = std::max({d.lower, d.cutLow, d.location - reach});
    const double high = std::min({d.upper, d.cutHigh, d.location + reach});
    const Cdf cdf(d, low, high);
    for (int k = 0; k < ARS_GENERATED_SEEDS; ++k) {
      const std::uint64_t seed = 5000 + static_cast<std::uint64_t>(c) + 7919 * static_cast<std::uint64_t>(k);
      SCOPED_TRACE("cut case " + std::to_string(c) + " seed " + std::to_string(seed) + " cut [" +
                   std::to_string(d.cutLow) + ", " + std::to_string(d.cutHigh) + "]: " + d.text);
      std::vector<double> x(n);
      try {
        ars::LogConcaveSampler sampler(d, d.lower, d.upper, d.starts, seed);
        sampler.sample(x.data(), n);
        EXPECT_LT(sampler.counts().evaluations, 2000u);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        continue;
      }
      std::sort(x.begin(), x.end());
      double ks = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const double f = cdf(x[i]);
        ks = std::max({ks, f - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - f});
      }
      EXPECT_LT(ks, critical);
      EXPECT_GE(x.front(), d.cutLow);
      EXPECT_LE(x.back(), d.cutHigh);
    }
  }
}

// check() finds nothing wrong with any of them (rounding in far tails, huge
// and tiny scales), and the draws after it stay exact.
TEST(GeneratedSuite, TheClassCheckPassesEveryLogConcaveDensity) {
  std::mt19937_64 g(20261208);
  const int cases = ARS_GENERATED_CASES / 3;
  const std::size_t n = 4000;
  const double critical = std::sqrt(-0.5 * std::log(0.5e-6) / static_cast<double>(n));
  for (int c = 0; c < cases; ++c) {
    const Generated d = generate(g);
    const double reach = 80 * d.scale * 10;
    const Cdf cdf(d, std::max(d.lower, d.location - reach), std::min(d.upper, d.location + reach));
    for (int k = 0; k < ARS_GENERATED_SEEDS; ++k) {
      const std::uint64_t seed = 9000 + static_cast<std::uint64_t>(c) + 7919 * static_cast<std::uint64_t>(k);
      SCOPED_TRACE("case " + std::to_string(c) + " seed " + std::to_string(seed) + ": " + d.text);
      std::vector<double> x(n);
      try {
        ars::LogConcaveSampler sampler(d, d.lower, d.upper, d.starts, seed);
        sampler.check(16);
        sampler.sample(x.data(), n);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        continue;
      }
      std::sort(x.begin(), x.end());
      double ks = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const double f = cdf(x[i]);
        ks = std::max({ks, f - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - f});
      }
      EXPECT_LT(ks, critical);
    }
  }
}

// Case 103: Gumbel-type walls either side of a stretch a hundredth wide. The
// first probes met h = -infinity (overflow), then a fall of 1e205, and the
// scale that fall suggested put the next probe 1e-55 away, where h is the
// same to the last bit: a flat top in the search's eyes, and a hull below the
// density. Some seeds in forty drew from the walls.
TEST(GeneratedSuite, AStaircaseInTheLastBitsIsNoFlatTop) {
  std::mt19937_64 g(20261208);
  Generated d;
  for (int c = 0; c <= 103; ++c) d = generate(g);
  const Cdf cdf(d, d.location - 8000 * d.scale, d.location + 8000 * d.scale);
  for (std::uint64_t seed = 1103; seed < 1103 + 40 * 7919; seed += 7919) {
    ars::LogConcaveSampler sampler(d, d.lower, d.upper, d.starts, seed);
    std::vector<double> x(4000);
    sampler.sample(x.data(), x.size());
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    EXPECT_GT(d(*low), cdf.top() - 50) << "seed " << seed << " x " << *low;
    EXPECT_GT(d(*high), cdf.top() - 50) << "seed " << seed << " x " << *high;
  }
}

}  // namespace
