// Rebuilding the exact curve: Gamma(10,0.1) on the log scale, 1000 points.
#include <benchmark/benchmark.h>

#include "app/main_window.h"

namespace {

void BM_RebuildGammaLogCurve(benchmark::State& state) {
  MainWindow app;
  app.densityKind = 4;
  app.logScale = true;
  for (auto _ : state) {
    app.rebuildDensityCurve();
    benchmark::DoNotOptimize(app.plotter.yValues.data());
  }
  state.counters["points"] = app.plotter.numPoints;
}
BENCHMARK(BM_RebuildGammaLogCurve)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
