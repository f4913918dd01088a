#include "model/transformed_darts.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "density/formula_density.h"
#include "model/window_model.h"
#include "sampler/t_concave_sampler.h"

namespace {

// The window's generator as 64 random bits whose top 53 give back its own
// uniform: one uniform of the window per uniform of the sampler, as the
// log-concave sampler draws them.
class WindowBits {
 public:
  using result_type = std::uint64_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }

  explicit WindowBits(UniformRandom& rnd) : rnd_(rnd) {}
  result_type operator()() {
    ++drawn;
    return static_cast<result_type>(rnd_.next() * 0x1p53) << 11;
  }
  std::uint64_t drawn = 0;

 private:
  UniformRandom& rnd_;
};

ars::TConcaveSampler samplerFor(const FormulaDensity& density, const DensityChoice& choice) {
  return ars::TConcaveSampler([&density](double x) { return density.logDensity(x); }, choice.lower, choice.upper,
                              choice.transform, choice.splits);
}

}  // namespace

std::vector<HullPoint> transformedStartPoints(const FormulaDensity& density, const DensityChoice& choice) {
  const ars::TConcaveSampler sampler = samplerFor(density, choice);
  const std::vector<double> xs = sampler.evaluatedPoints();
  const std::vector<double> hs = sampler.evaluatedLogDensities();
  std::vector<HullPoint> points;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (std::isfinite(hs[i])) points.push_back({xs[i], hs[i]});
  }
  return points;
}

void throwTransformedDarts(WindowModel& model) {
  const FormulaDensity& density = *model.density.otherDensity;
  DartsState& darts = model.darts;
  ars::TConcaveSampler sampler = samplerFor(density, model.density.otherChoice);
  WindowBits bits(model.rnd);
  for (int i = 0; i < darts.count; ++i) {
    const double x = sampler.sample(bits);
    // Uniform under the density at x: the darts fill the area under the curve.
    const double logHeight = density.logDensity(x) + std::log(model.rnd.next());
    darts.x.push_back(x);
    darts.y.push_back(plottedHeight(model.curve, model.view.logScale, logHeight));
  }
  darts.lastThrow = ThrowSummary{darts.x.size(), bits.drawn / 2, sampler.evaluations(), sampler.points()};
}
