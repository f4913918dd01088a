// TConcaveSampler in steady state and from a fresh start, beside
// ars::LogConcaveSampler on the same log-concave density for ratios in one run:
// the Cauchy under -1/sqrt(f), the normal under log, and a two-normal
// mixture cut at its inflection points; the warm path and check() on a
// Student t whose location and scale move with every update; the build
// with 6,001 split points; and split points found from the evaluations
// beside the same densities with their splits given: evaluations at
// construction (and with the first draw) and steady-state draws.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "sampler/log_concave_sampler.h"
#include "sampler/t_concave_sampler.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

double cauchy(double x) { return -std::log1p(x * x); }
double normal(double x) { return -0.5 * x * x; }
double twins(double x) { return -0.5 * x * x + 3 * std::fabs(x) + std::log1p(std::exp(-6 * std::fabs(x))); }

template <class Sampler>
void steady(benchmark::State& state, Sampler& sampler) {
  std::mt19937_64 g(42);
  for (int i = 0; i < 20000; ++i) sampler.sample(g);
  for (auto _ : state) benchmark::DoNotOptimize(sampler.sample(g));
}

void BM_TConcaveCauchySteady(benchmark::State& state) {
  ars::TConcaveSampler s(cauchy, -kInf, kInf);
  steady(state, s);
  state.counters["points"] = static_cast<double>(s.points());
}
BENCHMARK(BM_TConcaveCauchySteady)->Iterations(1000000);

void BM_TConcaveNormalLogSteady(benchmark::State& state) {
  ars::TConcaveSampler s(normal, -kInf, kInf, ars::Transform::Log);
  steady(state, s);
}
BENCHMARK(BM_TConcaveNormalLogSteady)->Iterations(1000000);

void BM_LogConcaveNormalSteady(benchmark::State& state) {
  ars::LogConcaveSampler s(normal, -kInf, kInf);
  steady(state, s);
}
BENCHMARK(BM_LogConcaveNormalSteady)->Iterations(1000000);

void BM_TConcaveMixtureSteady(benchmark::State& state) {
  const double at = std::acosh(3.0) / 3;
  ars::TConcaveSampler s(twins, -kInf, kInf, ars::Transform::Log, {-at, at});
  steady(state, s);
}
BENCHMARK(BM_TConcaveMixtureSteady)->Iterations(1000000);

// A fresh sampler started at the previous draw, one draw: a Gibbs step.
template <class Make>
void fresh(benchmark::State& state, Make make) {
  std::mt19937_64 g(42);
  double x = 0.3, evaluations = 0;
  for (auto _ : state) {
    auto s = make(x);
    x = s.sample(g);
    evaluations += static_cast<double>(s.evaluations());
  }
  state.counters["evaluations"] = evaluations / static_cast<double>(state.iterations());
}

void BM_TConcaveCauchyFreshDraw(benchmark::State& state) {
  fresh(state, [](double x) { return ars::TConcaveSampler(cauchy, -kInf, kInf, ars::Transform::InverseSqrt, {}, {x}); });
}
BENCHMARK(BM_TConcaveCauchyFreshDraw)->Iterations(100000);

void BM_TConcaveNormalLogFreshDraw(benchmark::State& state) {
  fresh(state, [](double x) { return ars::TConcaveSampler(normal, -kInf, kInf, ars::Transform::Log, {}, {x}); });
}
BENCHMARK(BM_TConcaveNormalLogFreshDraw)->Iterations(100000);

void BM_LogConcaveNormalFreshDraw(benchmark::State& state) {
  std::mt19937_64 g(42);
  double x = 0.3, evaluations = 0;
  for (auto _ : state) {
    ars::LogConcaveSampler s(normal, -kInf, kInf, {x});
    x = s.sample(g);
    evaluations += static_cast<double>(s.counts().evaluations);
  }
  state.counters["evaluations"] = evaluations / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LogConcaveNormalFreshDraw)->Iterations(100000);

// One Gibbs update of a Student t (nu = 3) whose location and scale move a
// little each time, at scale 1e-3: a fresh sampler (with or without
// check()) against the warm path of one kept sampler.
struct MovingT {
  double mu = 0, sd = 1e-3;
  void next(int k) {
    mu = 1e-2 * std::sin(k * 0.01);
    sd = 1e-3 * std::exp(0.5 * std::sin(k * 0.037));
  }
  ars::TConcaveSampler::LogDensity density() const {
    return [m = mu, s = sd](double y) { return -2 * std::log1p((y - m) * (y - m) / (3 * s * s)); };
  }
};

void movingT(benchmark::State& state, int mode) {
  std::mt19937_64 g(42);
  MovingT t;
  ars::TConcaveSampler warm(t.density(), -kInf, kInf);
  double x = 0, evaluations = 0;
  int k = 0;
  for (auto _ : state) {
    t.next(++k);
    if (mode == 2) {
      warm.warmReset(t.density(), -kInf, kInf, {}, {x});
      x = warm(g);
      evaluations += static_cast<double>(warm.evaluations());
    } else {
      ars::TConcaveSampler s(t.density(), -kInf, kInf, ars::Transform::InverseSqrt, {}, {x});
      if (mode == 1) s.check();
      x = s(g);
      evaluations += static_cast<double>(s.evaluations());
    }
  }
  state.counters["evaluations"] = evaluations / static_cast<double>(state.iterations());
}
void BM_TConcaveMovingTFresh(benchmark::State& state) { movingT(state, 0); }
void BM_TConcaveMovingTFreshChecked(benchmark::State& state) { movingT(state, 1); }
void BM_TConcaveMovingTWarm(benchmark::State& state) { movingT(state, 2); }
BENCHMARK(BM_TConcaveMovingTFresh)->Iterations(100000);
BENCHMARK(BM_TConcaveMovingTFreshChecked)->Iterations(100000);
BENCHMARK(BM_TConcaveMovingTWarm)->Iterations(100000);

// The build through a log-concave density cut by 6,001 split points.
void BM_TConcaveManySplitsBuild(benchmark::State& state) {
  std::vector<double> splits;
  for (int i = -3000; i <= 3000; ++i) splits.push_back(i * 0.005);
  double evaluations = 0;
  for (auto _ : state) {
    ars::TConcaveSampler s([](double x) { return -x * x; }, -kInf, kInf, ars::Transform::Log, splits, {}, 1);
    evaluations = static_cast<double>(s.evaluations());
  }
  state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_TConcaveManySplitsBuild)->Unit(benchmark::kMillisecond)->Iterations(20);

// Split points found from the evaluations against the same splits given.
double quartic(double x) { return -x * x * x * x + 3 * x * x; }
double unequal(double x) {  // 0.6 N(-2, 1) + 0.4 N(2.5, 0.6^2)
  const double a = -0.5 * (x + 2) * (x + 2), b = -0.5 * (x - 2.5) * (x - 2.5) / 0.36;
  const double top = std::max(a, b);
  return top + std::log(0.6 * std::exp(a - top) + 0.4 / 0.6 * std::exp(b - top));
}
// Where h'' changes sign on [-10, 10], by bisection of a central difference.
std::vector<double> inflections(double (*h)(double)) {
  const auto curvature = [h](double x) { return h(x + 1e-4) - 2 * h(x) + h(x - 1e-4); };
  std::vector<double> out;
  for (double x = -10; x < 10; x += 0.01) {
    double a = x, b = x + 0.01;
    if ((curvature(a) > 0) == (curvature(b) > 0)) continue;
    for (int i = 0; i < 60; ++i) ((curvature(0.5 * (a + b)) > 0) == (curvature(a) > 0) ? a : b) = 0.5 * (a + b);
    out.push_back(0.5 * (a + b));
  }
  return out;
}

struct SplitCase {
  const char* name;
  double (*h)(double);
};
const SplitCase kSplitCases[] = {{"twins", twins}, {"unequal", unequal}, {"quartic", quartic}};

// One fresh sampler per draw, started at the previous draw: evaluations at
// construction and after the draw, found against given; time per update.
void BM_AutoSplitsFreshDraw(benchmark::State& state) {
  const SplitCase& c = kSplitCases[state.range(0)];
  const std::vector<double> given = inflections(c.h);
  const auto run = [&](bool automatic, double& built, double& drawn, std::size_t n) {
    std::mt19937_64 g(42);
    double x = 0.3;
    built = drawn = 0;
    for (std::size_t i = 0; i < n; ++i) {
      ars::TConcaveSampler s = automatic ? ars::TConcaveSampler(c.h, -kInf, kInf, ars::Transform::Log,
                                                                ars::Splits::Automatic, {x}, 1)
                                         : ars::TConcaveSampler(c.h, -kInf, kInf, ars::Transform::Log,
                                                                given, {x}, 1);
      built += static_cast<double>(s.evaluations());
      x = s.sample(g);
      drawn += static_cast<double>(s.evaluations());
    }
    built /= static_cast<double>(n);
    drawn /= static_cast<double>(n);
  };
  double givenBuilt, givenDrawn, autoBuilt, autoDrawn;
  run(false, givenBuilt, givenDrawn, 2000);
  std::mt19937_64 g(42);
  double x = 0.3;
  for (auto _ : state) {
    ars::TConcaveSampler s(c.h, -kInf, kInf, ars::Transform::Log, ars::Splits::Automatic, {x}, 1);
    benchmark::DoNotOptimize(x = s.sample(g));
  }
  run(true, autoBuilt, autoDrawn, 2000);
  state.SetLabel(c.name);
  state.counters["auto_built"] = autoBuilt;
  state.counters["given_built"] = givenBuilt;
  state.counters["built_ratio"] = autoBuilt / givenBuilt;
  state.counters["auto_drawn"] = autoDrawn;
  state.counters["given_drawn"] = givenDrawn;
  state.counters["drawn_ratio"] = autoDrawn / givenDrawn;
}
BENCHMARK(BM_AutoSplitsFreshDraw)->DenseRange(0, 2)->Iterations(20000);

void BM_GivenSplitsFreshDraw(benchmark::State& state) {
  const SplitCase& c = kSplitCases[state.range(0)];
  const std::vector<double> given = inflections(c.h);
  std::mt19937_64 g(42);
  double x = 0.3;
  for (auto _ : state) {
    ars::TConcaveSampler s(c.h, -kInf, kInf, ars::Transform::Log, given, {x}, 1);
    benchmark::DoNotOptimize(x = s.sample(g));
  }
  state.SetLabel(c.name);
}
BENCHMARK(BM_GivenSplitsFreshDraw)->DenseRange(0, 2)->Iterations(20000);

void BM_AutoSplitsSteady(benchmark::State& state) {
  const SplitCase& c = kSplitCases[state.range(0)];
  ars::TConcaveSampler s(c.h, -kInf, kInf, ars::Transform::Log, ars::Splits::Automatic, {}, 1);
  steady(state, s);
  state.SetLabel(c.name);
  state.counters["splits"] = static_cast<double>(s.splits().size());
}
BENCHMARK(BM_AutoSplitsSteady)->DenseRange(0, 2)->Iterations(1000000);

void BM_GivenSplitsSteady(benchmark::State& state) {
  const SplitCase& c = kSplitCases[state.range(0)];
  ars::TConcaveSampler s(c.h, -kInf, kInf, ars::Transform::Log, inflections(c.h), {}, 1);
  steady(state, s);
  state.SetLabel(c.name);
  state.counters["splits"] = static_cast<double>(s.splits().size());
}
BENCHMARK(BM_GivenSplitsSteady)->DenseRange(0, 2)->Iterations(1000000);

}  // namespace

BENCHMARK_MAIN();
