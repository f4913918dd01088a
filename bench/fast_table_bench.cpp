// FastTable per accepted draw, the rare evaluation of h included, under
// fixed settled envelopes of N(0,1) and Beta(2,3), with pcg64 and with
// std::mt19937_64; and the generators alone, for the share they take.
#include <benchmark/benchmark.h>

#include <pcg_random.hpp>

#include <cmath>
#include <random>

#include "sampler/fast_table.h"
#include "support/secant_hull.h"

namespace {

using ars::detail::FastTable;

double normal(double x) { return -0.5 * x * x; }
double beta23(double x) { return std::log(x) + 2 * std::log1p(-x); }

FastTable table(double (*h)(double), const std::vector<double>& points, double lower, double upper) {
  const SecantEnvelope e = secantEnvelope(h, points, lower, upper);
  FastTable t;
  t.build(e.hull, e.x, e.h);
  return t;
}

template <class URBG>
void drawLoop(benchmark::State& state, const FastTable& t, double (*h)(double)) {
  URBG g(42u);
  for (auto _ : state) {
    for (;;) {
      const FastTable::Candidate c = t.draw(g);
      if (c.accepted || c.logY <= h(c.x)) {
        benchmark::DoNotOptimize(c.x);
        break;
      }
    }
  }
  state.counters["strips"] = static_cast<double>(t.strips());
}

template <class URBG>
void BM_FastTableNormal(benchmark::State& state) {
  drawLoop<URBG>(state, table(normal, evenPoints(-7, 7, 200), -INFINITY, INFINITY), normal);
}
template <class URBG>
void BM_FastTableBeta23(benchmark::State& state) {
  drawLoop<URBG>(state, table(beta23, evenPoints(0.004, 0.996, 200), 0, 1), beta23);
}
BENCHMARK_TEMPLATE(BM_FastTableNormal, pcg64);
BENCHMARK_TEMPLATE(BM_FastTableNormal, std::mt19937_64);
BENCHMARK_TEMPLATE(BM_FastTableBeta23, pcg64);
BENCHMARK_TEMPLATE(BM_FastTableBeta23, std::mt19937_64);

// The cost of a table for a settled envelope of 200 points.
void BM_FastTableBuildNormal(benchmark::State& state) {
  const SecantEnvelope e = secantEnvelope(normal, evenPoints(-7, 7, 200), -INFINITY, INFINITY);
  FastTable t;
  for (auto _ : state) {
    t.build(e.hull, e.x, e.h);
    benchmark::DoNotOptimize(t.logHatArea());
  }
  state.counters["strips"] = static_cast<double>(t.strips());
}
BENCHMARK(BM_FastTableBuildNormal)->Unit(benchmark::kMicrosecond);

template <class URBG>
void BM_TwoRandomNumbers(benchmark::State& state) {
  URBG g(42u);
  for (auto _ : state) {
    benchmark::DoNotOptimize(g());
    benchmark::DoNotOptimize(g());
  }
}
BENCHMARK_TEMPLATE(BM_TwoRandomNumbers, pcg64);
BENCHMARK_TEMPLATE(BM_TwoRandomNumbers, std::mt19937_64);

}  // namespace

BENCHMARK_MAIN();
