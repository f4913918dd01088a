// ars::LogConcaveSampler against the program's path: steady-state draws of
// Beta(2,3) once the envelope has settled, from the same 20,000-draw start,
// and the baseline loop of the sampler benchmarks (two uniforms, one exp, one
// log) for ratios taken in one run. Then the cost of a Gibbs sampler's step:
// a fresh sampler per conditional and one draw from the caller's generator,
// with the evaluations of h as counters.
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "density/beta_density.h"
#include "sampler/ars.h"
#include "sampler/log_concave_sampler.h"
#include "sampler/mt64_uniform.h"
#include "sampler/uniform_random.h"
#include <string>

namespace {

void BM_ProgramBetaSteadyState(benchmark::State& state) {
  ARSBetaDensity beta;
  beta.alpha = 2.0;
  beta.beta = 3.0;
  UniformRandom rnd;
  rnd.setSeed(1001);
  ARSSampler sampler;
  sampler.prnd = &rnd;
  sampler.clear();
  sampler.reset();
  sampler.density = &beta;
  sampler.keepPoints = true;
  for (int i = 0; i < 20000; ++i) sampler.sample();
  for (auto _ : state) benchmark::DoNotOptimize(sampler.sample());
}
BENCHMARK(BM_ProgramBetaSteadyState)->Iterations(150000);

void BM_LibraryBetaSteadyState(benchmark::State& state) {
  ars::LogConcaveSampler sampler([](double x) { return std::log(x) + 2 * std::log1p(-x); }, 0, 1, {}, 5489);
  for (int i = 0; i < 20000; ++i) sampler.sample();
  for (auto _ : state) benchmark::DoNotOptimize(sampler.sample());
  state.counters["points"] = static_cast<double>(sampler.points());
}
BENCHMARK(BM_LibraryBetaSteadyState)->Iterations(150000);

void BM_LibraryNormalBatch(benchmark::State& state) {
  ars::LogConcaveSampler sampler([](double x) { return -0.5 * x * x; }, -INFINITY, INFINITY, {}, 5489);
  double buffer[1000];
  sampler.sample(buffer, 1000);
  for (auto _ : state) {
    sampler.sample(buffer, 1000);
    benchmark::DoNotOptimize(buffer[999]);
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_LibraryNormalBatch)->Iterations(300);

void BM_DrawBaseline(benchmark::State& state) {
  UniformRandom rnd;
  rnd.setSeed(1001);
  double sink = 0.0;
  for (auto _ : state) {
    const double u1 = rnd.next();
    const double u2 = rnd.next();
    sink += std::log(std::exp(u1 * 3.0 - 1.0) * u2);
    benchmark::DoNotOptimize(sink);
  }
}
BENCHMARK(BM_DrawBaseline)->Iterations(150000);

void BM_Mt64Uniforms(benchmark::State& state) {
  Mt64Uniform uniform(1);
  double sink = 0.0;
  for (auto _ : state) {
    sink += uniform.next() + uniform.next();
    benchmark::DoNotOptimize(sink);
  }
}
BENCHMARK(BM_Mt64Uniforms)->Iterations(150000);

constexpr double inf = std::numeric_limits<double>::infinity();

struct Conditional {
  std::function<double(double)> h;
  double lower, upper, mode;
};

// The six conditionals of the first-draw target: N(0,1), N(5,0.1),
// gamma(2,1), beta(2,3), logistic, and a logistic regression's slope given
// 50 data points.
Conditional conditional(int which) {
  switch (which) {
    case 0:
      return {[](double x) { return -0.5 * x * x; }, -inf, inf, 0};
    case 1:
      return {[](double x) { return -0.5 * ((x - 5) / 0.1) * ((x - 5) / 0.1); }, -inf, inf, 5};
    case 2:
      return {[](double x) { return x <= 0 ? -inf : std::log(x) - x; }, 0, inf, 1};
    case 3:
      return {[](double x) { return x <= 0 || x >= 1 ? -inf : std::log(x) + 2 * std::log1p(-x); },
              0, 1, 1.0 / 3};
    case 4:
      return {[](double x) { return -x - 2 * std::log1p(std::exp(-x)); }, -inf, inf, 0};
    default: {
      std::mt19937_64 g(12345);
      std::normal_distribution<double> normal;
      std::uniform_real_distribution<double> unit;
      std::vector<double> xs(50), ys(50);
      for (int i = 0; i < 50; ++i) {
        xs[i] = normal(g);
        ys[i] = unit(g) < 1 / (1 + std::exp(-(0.5 + xs[i]))) ? 1.0 : 0.0;
      }
      return {[xs, ys](double b) {
                double sum = -b * b / 200;
                for (int i = 0; i < 50; ++i) {
                  const double eta = 0.5 + b * xs[i];
                  sum += ys[i] * eta - (eta > 0 ? eta + std::log1p(std::exp(-eta)) : std::log1p(std::exp(eta)));
                }
                return sum;
              },
              -inf, inf, 1.0};
    }
  }
}

const char* const conditionalNames[] = {"N(0,1)", "N(5,0.1)", "gamma(2,1)", "beta(2,3)", "logistic",
                                        "logistic regression"};

// Construction and first draw, no starting point (range(1) 0) or the mode
// (range(1) 1); the counter is the mean of evaluations per step.
void BM_GibbsFirstDraw(benchmark::State& state) {
  const Conditional c = conditional(static_cast<int>(state.range(0)));
  const std::vector<double> starts =
      state.range(1) != 0 ? std::vector<double>{c.mode} : std::vector<double>{};
  std::mt19937_64 rng(7);
  double evaluations = 0, steps = 0;
  for (auto _ : state) {
    ars::LogConcaveSampler sampler(c.h, c.lower, c.upper, starts);
    benchmark::DoNotOptimize(sampler.sample(rng));
    evaluations += static_cast<double>(sampler.counts().evaluations);
    steps += 1;
  }
  state.counters["evaluations"] = evaluations / steps;
  state.SetLabel(std::string(conditionalNames[state.range(0)]) + (state.range(1) ? ", start at the mode" : ""));
}
BENCHMARK(BM_GibbsFirstDraw)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}});

// Steady state: batches of 1000 draws of a settled sampler, from the built-in
// pcg64 and from the caller's std::mt19937_64.
void BM_SteadyStateBatch(benchmark::State& state) {
  const Conditional c = conditional(static_cast<int>(state.range(0)));
  ars::LogConcaveSampler sampler(c.h, c.lower, c.upper, {}, 5489);
  std::vector<double> buffer(1000);
  std::mt19937_64 rng(3);
  for (int i = 0; i < 200; ++i) sampler.sample(buffer.data(), buffer.size());
  for (auto _ : state) {
    if (state.range(1) != 0) {
      sampler.sample(rng, buffer.data(), buffer.size());
    } else {
      sampler.sample(buffer.data(), buffer.size());
    }
    benchmark::DoNotOptimize(buffer[999]);
  }
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["points"] = static_cast<double>(sampler.points());
  state.SetLabel(std::string(conditionalNames[state.range(0)]) + (state.range(1) ? ", std::mt19937_64" : ", pcg64"));
}
BENCHMARK(BM_SteadyStateBatch)->ArgsProduct({{0, 3}, {0, 1}});

}  // namespace

BENCHMARK_MAIN();
