// TConcaveSampler in steady state and from a fresh start, beside
// ars::LogConcaveSampler on the same log-concave density for ratios in one run:
// the Cauchy under -1/sqrt(f), the normal under log, and a two-normal
// mixture cut at its inflection points; the warm path and check() on a
// Student t whose location and scale move with every update; and the build
// with 6,001 split points.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
