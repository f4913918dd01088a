// The one-draw path of a Gibbs sampler: a new conditional per update, drawn
// once, by a fresh sampler (whose core a destroyed one may have left) or by
// warmReset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "sampler/log_concave_sampler.h"
#include "support/kolmogorov_smirnov.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// A log-concave family with its CDF, parameters drawn per update.
struct Conditional {
  double lower, upper, start;
  std::function<double(double)> h;
  std::function<double(double)> cdf;
};

Conditional normal(std::mt19937_64& p) {
  const double m = std::normal_distribution<>(0, 3)(p), s = std::exp(std::uniform_real_distribution<>(-4, 3)(p));
  const double start = m + s * std::normal_distribution<>()(p);
  return {-inf, inf, start, [m, s](double x) { return -0.5 * ((x - m) / s) * ((x - m) / s); },
          [m, s](double x) { return 0.5 * std::erfc(-(x - m) / (s * std::sqrt(2.0))); }};
}

// Smallest-extreme-value (t - e^t), scaled: a steep side and a flat one.
Conditional gumbel(std::mt19937_64& p) {
  const double m = std::uniform_real_distribution<>(-5, 5)(p), s = std::exp(std::uniform_real_distribution<>(-2, 2)(p));
  const double start = m + s * std::uniform_real_distribution<>(-4, 1.5)(p);
  return {-inf, inf, start, [m, s](double x) { return (x - m) / s - std::exp((x - m) / s); },
          [m, s](double x) { return -std::expm1(-std::exp((x - m) / s)); }};
}

// Laplace: h is exactly piecewise linear, the hull meets it on whole pieces.
Conditional laplace(std::mt19937_64& p) {
  const double m = std::uniform_real_distribution<>(-3, 3)(p), b = std::exp(std::uniform_real_distribution<>(-2, 2)(p));
  const double start = m + b * std::uniform_real_distribution<>(-3, 3)(p);
  return {-inf, inf, start, [m, b](double x) { return -std::fabs(x - m) / b; },
          [m, b](double x) { return x < m ? 0.5 * std::exp((x - m) / b) : 1 - 0.5 * std::exp(-(x - m) / b); }};
}

// Weibull with shape >= 1 on (0, inf): a finite end the mode may sit at.
Conditional weibull(std::mt19937_64& p) {
  const double k = std::uniform_real_distribution<>(1, 4)(p), l = std::exp(std::uniform_real_distribution<>(-2, 2)(p));
  const double start = l * std::uniform_real_distribution<>(0.05, 2)(p);
  return {0, inf, start,
          [k, l](double x) { return x <= 0 ? -inf : (k - 1) * std::log(x / l) - std::pow(x / l, k); },
          [k, l](double x) { return x <= 0 ? 0.0 : -std::expm1(-std::pow(x / l, k)); }};
}

// e^(r x) on [0, w]: the hull is h itself, rising or falling into a finite end.
Conditional exponentialOnInterval(std::mt19937_64& p) {
  const double r = std::uniform_real_distribution<>(-8, 8)(p), w = std::exp(std::uniform_real_distribution<>(-2, 2)(p));
  const double start = w * std::uniform_real_distribution<>(0.01, 0.99)(p);
  return {0, w, start, [r](double x) { return r * x; },
          [r, w](double x) { return std::expm1(r * std::min(std::max(x, 0.0), w)) / std::expm1(r * w); }};
}

TEST(OneDrawPath, EveryConditionalDrawnOnceFollowsItsDistribution) {
  // Each update a new family member, its start anywhere in its bulk, and a
  // single draw: the probability transform of the draws by their own
  // conditionals' CDFs must be uniform. A piece chosen by the wrong area, an
  // inversion from the wrong end of a piece or with the wrong rate, or a
  // squeeze test against the wrong piece moves these far beyond the bound.
  using Make = Conditional (*)(std::mt19937_64&);
  const Make families[] = {normal, gumbel, laplace, weibull, exponentialOnInterval};
  const char* names[] = {"normal", "gumbel", "laplace", "weibull", "exponential on [0, w]"};
  constexpr int updates = 20000;
  const double bound = std::sqrt(-0.5 * std::log(0.5e-6) / updates);
  for (std::size_t f = 0; f < 5; ++f) {
    for (const bool warm : {false, true}) {
      std::mt19937_64 params(11 + f), g(3);
      std::vector<double> u;
      std::optional<ars::LogConcaveSampler> w;
      for (int i = 0; i < updates; ++i) {
        const Conditional c = families[f](params);
        double x;
        if (warm) {
          if (!w) w.emplace(c.h, c.lower, c.upper, std::vector<double>{c.start});
          else w->warmReset(c.h, c.lower, c.upper, {c.start});
          x = w->sample(g);
        } else {
          ars::LogConcaveSampler s(c.h, c.lower, c.upper, {c.start});
          x = s.sample(g);
        }
        ASSERT_TRUE(x >= c.lower && x <= c.upper) << names[f];
        u.push_back(c.cdf(x));
      }
      EXPECT_LT(ksFromUniform(u), bound) << names[f] << (warm ? ", warm" : ", fresh");
      // The outer tenth of each conditional's mass, where KS says little:
      // binomial, within five standard deviations.
      const double outer = static_cast<double>(
          std::count_if(u.begin(), u.end(), [](double v) { return v < 0.05 || v > 0.95; }));
      EXPECT_NEAR(outer / updates, 0.1, 5 * std::sqrt(0.09 / updates)) << names[f] << (warm ? ", warm" : ", fresh");
    }
  }
}

TEST(OneDrawPath, ASamplerBuiltAfterAnotherWasDestroyedStartsAsANewOne) {
  // A destroyed sampler leaves its buffers to the next one built on the
  // thread: nothing else of it may show. The reference: the same seeded
  // sampler built before any other was destroyed here.
  const auto h = [](double x) { return -0.5 * x * x - 0.1 * x * x * x * x; };
  const auto draws = [&] {
    ars::LogConcaveSampler s(h, -inf, inf, {0.3}, 99);
    std::vector<double> v(3000);
    s.sample(v.data(), v.size());
    v.push_back(static_cast<double>(s.points()));
    v.push_back(static_cast<double>(s.counts().evaluations));
    return v;
  };
  std::vector<double> reference;
  std::thread([&] { reference = draws(); }).join();
  {
    // Settings and warm memory of its own (a few draws: a sampler that built
    // a table leaves nothing behind).
    ars::LogConcaveSampler other([](double x) { return -std::fabs(x - 40); }, 30, 50, {41}, 5);
    other.setMaxPoints(3);
    other.setTargetRatio(0.2);
    std::vector<double> v(5);
    other.sample(v.data(), v.size());
    other.warmReset([](double x) { return -x * x; }, -inf, inf, {0.0});
    other.sample();
  }
  EXPECT_EQ(draws(), reference);
  {
    ars::LogConcaveSampler big([](double x) { return -x * x; }, -inf, inf, {0.0}, 5);
    std::vector<double> v(100000);
    big.sample(v.data(), v.size());
  }
  EXPECT_EQ(draws(), reference);
}

TEST(OneDrawPath, ADestroyedSamplerLetsGoOfItsLogDensityAtOnce) {
  // Its core may be kept for the next sampler, the callable (and whatever
  // it holds) must not.
  auto held = std::make_shared<double>(2.0);
  {
    ars::LogConcaveSampler s([held](double x) { return -*held * x * x; }, -inf, inf, {0.1});
    s.sample();
    EXPECT_EQ(held.use_count(), 2);
  }
  EXPECT_EQ(held.use_count(), 1);
}

TEST(OneDrawPath, ASamplerOutlivingItsThreadsKeptCoreEndsCleanly) {
  // A thread_local sampler created after the thread's first sampler is
  // destroyed after the kept core: it must neither use the gone shelf nor
  // leave its core behind (a sanitizer build reports either).
  std::thread([] {
    thread_local std::optional<ars::LogConcaveSampler> late;
    { ars::LogConcaveSampler first([](double x) { return -x * x; }, -inf, inf, {0.0}, 1); }
    late.emplace([](double x) { return -x * x; }, -inf, inf, std::vector<double>{0.0}, 2);
    EXPECT_TRUE(std::isfinite(late->sample()));
  }).join();
}

}  // namespace
