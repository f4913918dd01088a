// TConcaveSampler::check: more points where the hat holds its mass, so that
// a density outside the class is caught before a draw relies on it.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "sampler/t_concave_sampler.h"

namespace ars {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

}  // namespace

void TConcaveSampler::check(std::size_t extraPoints) {
  if (logConcave_) return checkUnderLog(extraPoints);
  if (refused_) std::rethrow_exception(refused_);
  // Each piece between split points gets its share of the points by its
  // hat's mass, and at least two while the budget lasts: a piece of little
  // mass fitting neither class shows it only with points of its own.
  const std::size_t segments = bounds_.size() - 1;
  std::vector<double> mass(segments, 0.0);
  for (std::size_t k = 0, j = 0; k < pieces_.size(); ++k) {
    while (j + 1 < segments && pieces_[k].l >= bounds_[j + 1]) ++j;
    mass[j] += pieces_[k].area;
  }
  const std::size_t least = std::min<std::size_t>(2, extraPoints / segments);
  std::vector<double> at;
  double before = 0;
  for (std::size_t j = 0; j < segments; ++j) {
    const double share = mass[j] / hatArea_ * static_cast<double>(extraPoints);
    const std::size_t m = std::max(least, static_cast<std::size_t>(std::lround(share)));
    for (std::size_t k = 0; k < m; ++k) {
      double x = 0, hat = 0;
      const double u = (before + mass[j] * (static_cast<double>(k) + 0.5) / static_cast<double>(m)) / hatArea_;
      if (u > 0 && u < 1 && propose(u, 1, x, hat) != Verdict::Outside) at.push_back(x);
    }
    before += mass[j];
  }
  for (double x : at) {
    const double h = evaluate(x);
    if (h == -kInf)
      zeroAt(x);
    else
      keep(x, h);
  }
  build();
}

// LogConcaveSampler's own check, whose points join its envelope; its
// reports name the transformation as the rest of this class's do.
void TConcaveSampler::checkUnderLog(std::size_t extraPoints) {
  try {
    logConcave_->check(extraPoints);
  } catch (const NotLogConcave& e) {
    reportUnderLog(e);
  }
}

}  // namespace ars
