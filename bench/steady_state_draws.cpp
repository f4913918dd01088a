// Steady-state batch draws for bench/compare_scipy.py: prints the best of
// several timed batches in nanoseconds per draw.
//   steady_state_draws normal|beta COUNT [library|table]
// table: FastTable under a fixed settled envelope with pcg64, h evaluated
// for the candidates that the squeeze leaves open. library: LogConcaveSampler
// after 20,000 draws of warm-up (the default).
#include <pcg_random.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "sampler/fast_table.h"
#include "sampler/log_concave_sampler.h"
#include "support/secant_hull.h"

namespace {

using ars::detail::FastTable;

double normal(double x) { return -0.5 * x * x; }
double beta23(double x) { return std::log(x) + 2 * std::log1p(-x); }

template <class Fill>
double bestNsPerDraw(std::vector<double>& out, Fill fill) {
  double best = INFINITY;
  for (int repeat = 0; repeat < 7; ++repeat) {
    const auto start = std::chrono::steady_clock::now();
    fill(out);
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count() / static_cast<double>(out.size()));
  }
  return best;
}

int run(int argc, char** argv) {
  if (argc < 3 || argc > 4) throw std::invalid_argument("usage: steady_state_draws normal|beta COUNT [library|table]");
  const std::string density = argv[1];
  if (density != "normal" && density != "beta") throw std::invalid_argument("unknown density '" + density + "'");
  char* end = nullptr;
  const long long count = std::strtoll(argv[2], &end, 10);
  if (*end != '\0' || count < 1 || count > 1000000000) throw std::invalid_argument(std::string("bad COUNT '") + argv[2] + "'");
  const std::string mode = argc == 4 ? argv[3] : "library";
  if (mode != "table" && mode != "library") throw std::invalid_argument("unknown mode '" + mode + "'");

  double (*h)(double) = density == "normal" ? normal : beta23;
  const double lower = density == "normal" ? -INFINITY : 0.0, upper = density == "normal" ? INFINITY : 1.0;
  std::vector<double> out(static_cast<std::size_t>(count));
  double ns = 0;
  if (mode == "table") {
    const SecantEnvelope e = density == "normal" ? secantEnvelope(h, evenPoints(-7, 7, 200), lower, upper)
                                                 : secantEnvelope(h, evenPoints(0.004, 0.996, 200), lower, upper);
    FastTable table;
    table.build(e.hull, e.x, e.h);
    pcg64 g(12345u);
    ns = bestNsPerDraw(out, [&](std::vector<double>& v) {
      for (double& x : v) {
        for (;;) {
          const FastTable::Candidate c = table.draw(g);
          if (c.accepted || c.logY <= h(c.x)) {
            x = c.x;
            break;
          }
        }
      }
    });
  } else {
    ars::LogConcaveSampler sampler(h, lower, upper, {}, 5489);
    for (int i = 0; i < 20000; ++i) sampler.sample();
    ns = bestNsPerDraw(out, [&](std::vector<double>& v) { sampler.sample(v.data(), v.size()); });
  }
  double sum = 0;
  for (double x : out) sum += x;
  std::printf("%.4f ns/draw (mean %.4f)\n", ns, sum / static_cast<double>(count));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "steady_state_draws: %s\n", e.what());
    return 2;
  }
}
