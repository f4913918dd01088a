#include "display/hull_gaps.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "display/typed_envelope_drawing.h"
#include "model/step_beat.h"
#include "model/window_model.h"

namespace {

using ars::detail::EnvelopePiece;

// Above rounding: the hull touches the density at every evaluated point,
// where its lines may miss it by a few ulps of their terms.
bool above(double density, double hull) {
  return density - hull > 1e-6 + 1e-12 * std::fabs(density);
}

class Comparison {
 public:
  Comparison(const std::vector<EnvelopePiece>& pieces, ars::Transform transform,
             const std::function<double(double)>& logDensity)
      : pieces_(pieces), transform_(transform), logDensity_(logDensity) {}

  // The density above the hull at x.
  bool below(double x) const {
    // The pieces lie in order: the last one starting at or before x.
    auto piece = std::upper_bound(pieces_.begin(), pieces_.end(), x,
                                  [](double v, const EnvelopePiece& p) { return v < p.left; });
    if (piece == pieces_.begin() || !(x <= (--piece)->right)) return false;
    const double density = logDensity_(x);
    return std::isfinite(density) && above(density, logValueOfT(transform_, piece->hull.at(x)));
  }

  // Where below() changes between a and b (below(a) != below(b)).
  double crossing(double a, double b) const {
    const bool atA = below(a);
    for (int i = 0; i < 40; ++i) {
      const double m = a + (b - a) / 2;
      if (!(m > a && m < b)) break;
      (below(m) == atA ? a : b) = m;
    }
    return atA ? a : b;
  }

 private:
  const std::vector<EnvelopePiece>& pieces_;
  ars::Transform transform_;
  const std::function<double(double)>& logDensity_;
};

}  // namespace

std::vector<HullCut> hullBelowDensity(const std::vector<EnvelopePiece>& pieces, ars::Transform transform,
                                      const std::function<double(double)>& logDensity,
                                      const std::vector<double>& grid) {
  const Comparison comparison(pieces, transform, logDensity);
  std::vector<HullCut> gaps;
  bool inside = false;
  for (std::size_t i = 0; i < grid.size(); ++i) {
    const bool below = comparison.below(grid[i]);
    if (below && !inside) gaps.push_back({i == 0 ? grid[i] : comparison.crossing(grid[i - 1], grid[i]), grid[i]});
    if (!below && inside) gaps.back().right = comparison.crossing(grid[i - 1], grid[i]);
    if (below) gaps.back().right = grid[i];
    inside = below;
  }
  // A gap still open runs to the last point of the grid.
  return gaps;
}

std::vector<HullCut> shownHullGaps(const WindowModel& model, double xMin, double xMax) {
  const bool envelopeShown = model.stepping.active || model.stepping.proof.has_value();
  const FormulaDensity* density = model.density.otherDensity.get();
  if (!model.density.isOther() || !envelopeShown || !model.typed || density == nullptr) return {};
  std::vector<double> grid;
  for (const double x : model.curve.xValues) {
    if (x >= xMin && x <= xMax) grid.push_back(x);
  }
  const std::function<double(double)> logDensity = [density](double x) { return density->logDensity(x); };
  return hullBelowDensity(shownTypedPieces(model), model.typed->transform(), logDensity, grid);
}
