// The sampler's costs: one throw of 5000 darts from fresh starting points, and
// the steady-state cost of one sample against the bare arithmetic of a draw.
// Read them as ratios within one run: BM_ThrowOf5000 against 5000 times
// BM_DrawBaseline, BM_SteadyStateSample against one BM_DrawBaseline.
#include <benchmark/benchmark.h>

#include <cmath>

#include "density/beta_density.h"
#include "density/gamma_density.h"
#include "density/test_density.h"
#include "sampler/ars.h"
#include "sampler/uniform_random.h"

namespace {

struct Prepared {
  explicit Prepared(int kind) {
    beta.alpha = 2.0;
    beta.beta = 3.0;
    gamma.alpha = 10.0;
    gamma.beta = 0.1;
    rnd.setSeed(1001);
    sampler.prnd = &rnd;
    prepare(kind);
  }
  void prepare(int kind) {
    sampler.clear();
    sampler.reset();
    if (kind == 1) sampler.density = &beta;
    if (kind == 4) {
      sampler.density = &gamma;
      sampler.upperBounded = false;
    }
    if (kind == 6) sampler.density = &test;
    sampler.keepPoints = true;
  }
  ARSBetaDensity beta;
  ARSGammaDensity gamma;
  ARSTestDensity test;
  UniformRandom rnd;
  ARSSampler sampler;
};

// Prepared as the window prepares a throw, without reseeding: each iteration
// is the next throw of a session. Kind 6 is not log-concave: its throw ends at
// the draw that exposes it.
void BM_ThrowOf5000(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  Prepared p(kind);
  int drawn = 0;
  for (auto _ : state) {
    p.prepare(kind);
    drawn = 0;
    try {
      for (int i = 0; i < 5000; ++i) {
        benchmark::DoNotOptimize(p.sampler.sample());
        ++drawn;
      }
    } catch (const ARSSampler::XNotLogConcave&) {
    }
  }
  state.counters["darts"] = drawn;
  state.counters["points"] = static_cast<double>(p.sampler.points.size());
}
BENCHMARK(BM_ThrowOf5000)->Arg(1)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);

// After 20,000 draws the envelope has settled. The run is kept to a fixed
// length: far longer runs from one envelope end in the hull dipping below
// the density (see the note on carried slopes in ARSSampler::buildEnvelope).
void BM_SteadyStateSample(benchmark::State& state) {
  Prepared p(static_cast<int>(state.range(0)));
  for (int i = 0; i < 20000; ++i) p.sampler.sample();
  for (auto _ : state) benchmark::DoNotOptimize(p.sampler.sample());
  state.counters["points"] = static_cast<double>(p.sampler.points.size());
}
BENCHMARK(BM_SteadyStateSample)->Arg(1)->Arg(4)->Iterations(150000);

// The unavoidable arithmetic of one draw: two uniforms, one exp, one log.
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

// What a draw decided by the squeeze cannot do without, in its exact order:
// two uniforms, the inversion's log and division, the squeeze's exp and
// division, and the dart height's log. No segment choice, no bookkeeping.
void BM_SqueezeDrawArithmetic(benchmark::State& state) {
  UniformRandom rnd;
  rnd.setSeed(1001);
  double sink = 0.0;
  for (auto _ : state) {
    const double t = rnd.next() * 3.7;
    const double u2 = rnd.next();
    const double c = 1.2 + (t - 0.5) * 0.7;
    const double x = (std::log(c) - 0.3) / 0.7 + 0.1;
    const double e = std::exp((x - 0.1) * 0.6 + 0.2);
    sink += e / c >= u2 ? std::log(u2 * c) : x;
    benchmark::DoNotOptimize(sink);
  }
}
BENCHMARK(BM_SqueezeDrawArithmetic)->Iterations(150000);

}  // namespace

BENCHMARK_MAIN();
