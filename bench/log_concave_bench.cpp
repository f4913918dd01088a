// LogConcaveSampler against the program's path: steady-state draws of
// Beta(2,3) once the envelope has settled, from the same 20,000-draw start,
// and the baseline loop of the sampler benchmarks (two uniforms, one exp, one
// log) for ratios taken in one run.
#include <benchmark/benchmark.h>

#include <cmath>

#include "density/beta_density.h"
#include "sampler/ars.h"
#include "sampler/log_concave_sampler.h"
#include "sampler/mt64_uniform.h"
#include "sampler/uniform_random.h"

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
  LogConcaveSampler sampler([](double x) { return std::log(x) + 2 * std::log1p(-x); }, 0, 1);
  for (int i = 0; i < 20000; ++i) sampler.sample();
  for (auto _ : state) benchmark::DoNotOptimize(sampler.sample());
  state.counters["points"] = static_cast<double>(sampler.points());
}
BENCHMARK(BM_LibraryBetaSteadyState)->Iterations(150000);

void BM_LibraryNormalBatch(benchmark::State& state) {
  LogConcaveSampler sampler([](double x) { return -0.5 * x * x; }, -INFINITY, INFINITY);
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

}  // namespace

BENCHMARK_MAIN();
