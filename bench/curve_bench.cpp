// Rebuilding the exact curve: Gamma(10,0.1) on the log scale, 1000 points.
#include <benchmark/benchmark.h>

#include "model/density_curve.h"
#include "model/window_model.h"

namespace {

void BM_RebuildGammaLogCurve(benchmark::State& state) {
  WindowModel model;
  model.density.kind = 4;
  model.view.logScale = true;
  for (auto _ : state) {
    rebuildDensityCurve(model);
    benchmark::DoNotOptimize(model.curve.yValues.data());
  }
  state.counters["points"] = static_cast<double>(model.curve.xValues.size());
}
BENCHMARK(BM_RebuildGammaLogCurve)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
