// TConcaveSampler::check: more points where the hat holds its mass, so that
// a density outside the class is caught before a draw relies on it.
#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

#include "sampler/t_concave_sampler.h"

namespace ars {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The abscissae of the quantiles (k + 1/2) / n of exp(hull), the hull given
// by its vertices (infinite ends at -infinity) and the slopes of its tails.
std::vector<double> hullQuantiles(const Envelope& e, double leftSlope, double rightSlope, std::size_t n) {
  const std::vector<double>& x = e.hullX;
  const std::vector<double>& y = e.hullY;
  double top = -kInf;
  for (double v : y) top = std::max(top, v);
  // Area of each segment relative to exp(top); a tail's from its finite end.
  std::vector<double> area(x.size() - 1);
  for (std::size_t i = 0; i + 1 < x.size(); ++i) {
    const double s = !std::isfinite(x[i]) ? leftSlope
                     : !std::isfinite(x[i + 1]) ? rightSlope
                                                : (y[i + 1] - y[i]) / (x[i + 1] - x[i]);
    if (!std::isfinite(x[i])) area[i] = std::exp(y[i + 1] - top) / s;
    else if (!std::isfinite(x[i + 1])) area[i] = std::exp(y[i] - top) / -s;
    else if (s == 0) area[i] = std::exp(y[i] - top) * (x[i + 1] - x[i]);
    else area[i] = (std::exp(y[i + 1] - top) - std::exp(y[i] - top)) / s;
    if (!(area[i] >= 0) || !std::isfinite(area[i])) area[i] = 0;
  }
  double total = 0;
  for (double a : area) total += a;
  std::vector<double> out;
  std::size_t i = 0;
  double before = 0;
  for (std::size_t k = 0; k < n && total > 0; ++k) {
    const double q = total * (static_cast<double>(k) + 0.5) / static_cast<double>(n);
    while (i + 1 < area.size() && before + area[i] < q) before += area[i++];
    const double a = q - before;
    double at;
    if (!std::isfinite(x[i])) {
      at = x[i + 1] + std::log(a * leftSlope / std::exp(y[i + 1] - top)) / leftSlope;
    } else {
      const double s = !std::isfinite(x[i + 1]) ? rightSlope : (y[i + 1] - y[i]) / (x[i + 1] - x[i]);
      const double e0 = std::exp(y[i] - top);
      at = s == 0 ? x[i] + a / e0 : x[i] + std::log1p(a * s / e0) / s;
    }
    if (std::isfinite(at)) out.push_back(at);
  }
  return out;
}

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

// LogConcaveSampler keeps its points to itself: the new ones are judged with
// its envelope's points, and the draws go on from its envelope as it was.
void TConcaveSampler::checkUnderLog(std::size_t extraPoints) {
  const Envelope e = logConcave_->envelope();
  if (e.x.size() < 2) return;
  const std::size_t k = e.x.size();
  const double leftSlope = (e.h[1] - e.h[0]) / (e.x[1] - e.x[0]);
  const double rightSlope = (e.h[k - 1] - e.h[k - 2]) / (e.x[k - 1] - e.x[k - 2]);
  std::vector<double> x = e.x, h = e.h;
  for (double at : hullQuantiles(e, leftSlope, rightSlope, extraPoints)) {
    if (!(at > logConcave_->lowerLimit() && at < logConcave_->upperLimit())) continue;
    const double v = evaluate(at);
    const auto it = std::lower_bound(x.begin(), x.end(), at);
    if (v == -kInf) {
      if (it == x.begin() || it == x.end()) continue;  // the support ends before it
      std::ostringstream m;
      m.precision(17);
      m << "density is not T-concave under T = log f: it is zero at x = " << at
        << " between positive values at " << *(it - 1) << " and " << *it;
      throw NotLogConcave(m.str());
    }
    if ((it != x.end() && *it == at)) continue;
    h.insert(h.begin() + (it - x.begin()), v);
    x.insert(it, at);
  }
  for (std::size_t i = 0; i + 2 < x.size(); ++i) {
    const double m0 = (h[i + 1] - h[i]) / (x[i + 1] - x[i]), m1 = (h[i + 2] - h[i + 1]) / (x[i + 2] - x[i + 1]);
    const double rounding = 4.6e-16 * (4 + std::fabs(h[i]) + std::fabs(h[i + 1]) + std::fabs(h[i + 2]));
    const double tol = 1e-9 * (std::fabs(m0) + std::fabs(m1)) + rounding / (x[i + 1] - x[i]) +
                       rounding / (x[i + 2] - x[i + 1]);
    if (m1 > m0 + tol) {
      std::ostringstream m;
      m.precision(17);
      m << "density is not T-concave under T = log f: log f at x = " << x[i] << ", " << x[i + 1] << ", "
        << x[i + 2] << " is " << h[i] << ", " << h[i + 1] << ", " << h[i + 2]
        << " (the middle point lies below the chord)";
      throw NotLogConcave(m.str(), {x[i], h[i]}, {x[i + 1], h[i + 1]}, {x[i + 2], h[i + 2]});
    }
  }
}

}  // namespace ars
