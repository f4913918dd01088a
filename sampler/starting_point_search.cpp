#include "sampler/argument_checks.h"
#include "sampler/starting_point_search.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double goldenFraction = 0.38196601125010515;  // 2 - golden ratio

using ars::detail::number;
using ars::detail::supportText;

// Mean of exp over a straight piece from log value a to b (both relative to a
// common maximum), stable as the two close in.
double meanExp(double a, double b) {
  if (std::fabs(b - a) > 1e-6) return (std::exp(b) - std::exp(a)) / (b - a);
  return std::exp(0.5 * (a + b));
}

}  // namespace

StartingPointSearch::StartingPointSearch(const LogDensity& logDensity, double lower, double upper,
                                         const std::vector<double>& starts)
    : logDensity_(logDensity), lower_(lower), upper_(upper) {
  if (!logDensity_) throw std::invalid_argument("logDensity is empty");
  ars::detail::checkSupport(lower, upper);
  findFirstPoint(starts);
  exploreSide(+1);
  exploreSide(-1);
  refineAroundMode();
  completeToThree();
  cutUnboundedEnds();
}

double StartingPointSearch::evaluate(double x) {
  ++evaluations_;
  return ars::detail::checkedLogDensity(logDensity_(x), x);
}

// A log-concave density is positive on an interval. A zero beyond the outer
// points moves that end of the support in; a zero between two points with
// finite values, or a point below the chord of its neighbours, is proof that
// the density is not log-concave.
void StartingPointSearch::add(double x, double h) {
  if (h == -infinity) {
    if (points_.empty()) return;
    if (x < points_.front().x) {
      lower_ = x;
    } else if (x > points_.back().x) {
      upper_ = x;
    } else {
      throw ARSSampler::XNotLogConcave();
    }
    return;
  }
  const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                   [](const HullPoint& p, double value) { return p.x < value; });
  if (at != points_.end() && at->x == x) return;
  // The insertion may move the array: take begin() only after it.
  const auto inserted = points_.insert(at, HullPoint{x, h});
  const std::size_t i = static_cast<std::size_t>(inserted - points_.begin());
  for (std::size_t j = i > 0 ? i - 1 : 0; j <= i + 1; ++j) {
    if (j >= 1 && j + 1 < points_.size() &&
        ARSSampler::belowChord(points_[j - 1], points_[j], points_[j + 1])) {
      throw ARSSampler::XNotLogConcave();
    }
  }
}

std::size_t StartingPointSearch::highest() const {
  std::size_t best = 0;
  for (std::size_t i = 1; i < points_.size(); ++i) {
    if (points_[i].h > points_[best].h) best = i;
  }
  return best;
}

void StartingPointSearch::findFirstPoint(const std::vector<double>& starts) {
  if (!starts.empty()) {
    for (double x : starts) {
      if (!(x >= lower_ && x <= upper_) || !std::isfinite(x)) {
        throw std::invalid_argument("the starting abscissa " + number(x) +
                                    " lies outside the support " + supportText(lower_, upper_));
      }
      const double h = evaluate(x);
      if (h == -infinity) {
        throw std::invalid_argument("logDensity must be finite at the starting abscissa " +
                                    number(x));
      }
      add(x, h);
    }
    return;
  }
  const bool lowerFinite = std::isfinite(lower_);
  const bool upperFinite = std::isfinite(upper_);
  // Probes in order of preference: the middle of a finite support, a unit
  // (or the end's own magnitude) inside a half-bounded one, 0 on the line;
  // then finer grids or wider steps, in case the density vanishes there.
  std::vector<double> probes;
  if (lowerFinite && upperFinite) {
    for (int level = 1; level <= 12; ++level) {
      const double cells = std::ldexp(1.0, level);
      for (double k = 1; k < cells; k += 2) {
        const double f = k / cells;
        probes.push_back(lower_ * (1 - f) + upper_ * f);
      }
    }
  } else if (lowerFinite || upperFinite) {
    const double end = lowerFinite ? lower_ : upper_;
    const double inwards = lowerFinite ? 1.0 : -1.0;
    const double unit = std::max(1.0, std::fabs(end));
    for (int j = 0; j < maxSteps; ++j) {
      for (double step : {std::ldexp(unit, j), std::ldexp(unit, -j - 1)}) {
        const double x = end + inwards * step;
        if (std::isfinite(x) && x != end) probes.push_back(x);
      }
    }
  } else {
    probes.push_back(0.0);
    for (int j = 0; j < maxSteps; ++j) {
      for (double step : {std::ldexp(1.0, j), std::ldexp(1.0, -j - 1)}) {
        if (std::isfinite(step) && step > 0) {
          probes.push_back(step);
          probes.push_back(-step);
        }
      }
    }
  }
  std::vector<double> zeros;
  for (double x : probes) {
    const double h = evaluate(x);
    if (h == -infinity) {
      zeros.push_back(x);
      continue;
    }
    add(x, h);
    for (double z : zeros) {
      if (z < x) lower_ = std::max(lower_, z);
      if (z > x) upper_ = std::min(upper_, z);
    }
    return;
  }
  throw std::invalid_argument("logDensity is -infinity at every abscissa tried in the support " +
                              supportText(lower_, upper_));
}

// Moves outwards from the outermost point on one side until the log-density
// has fallen by outerDrop below its highest value: the tail beyond then holds
// next to nothing, so that hardly a draw needs the density test there. Steps
// double towards an unbounded end (one that is never reached so means a
// density that is not integrable) and halve towards a finite one. A finite
// end where the log-density is finite becomes a point itself, and the halving
// stops once the values come within refineDrop of it; where it is not
// finite, once the gap to the end holds a small part of the mass.
void StartingPointSearch::exploreSide(int direction) {
  const bool up = direction > 0;
  double endValue = -infinity;
  if (std::isfinite(up ? upper_ : lower_)) {
    const double end = up ? upper_ : lower_;
    ++evaluations_;
    const double h = logDensity_(end);  // may be +infinity or NaN at an end: not used then
    if (h > -infinity && h < infinity) {
      add(end, h);
      endValue = h;
    }
  }
  double step = std::max(1.0, std::fabs(up ? points_.back().x : points_.front().x));
  for (int i = 0; i < maxSteps; ++i) {
    const double end = up ? upper_ : lower_;
    const double best = points_[highest()].h;
    const bool finiteEnd = std::isfinite(end);
    double x;
    if (finiteEnd) {
      // The outermost point short of the end.
      const std::size_t n = points_.size();
      const HullPoint& edge = endValue > -infinity ? points_[up ? n - 2 : 1]
                                                   : points_[up ? n - 1 : 0];
      if (endValue > -infinity) {
        if (std::fabs(edge.h - endValue) <= refineDrop) return;
        // Falling all the way to the end, far below the top: nothing to resolve.
        // (Differences, never best - outerDrop: at |h| above 2^58 that sum
        // rounds back to best.)
        if (best - edge.h >= outerDrop && endValue <= edge.h) return;
      } else {
        if (best - edge.h >= outerDrop) return;
        // The chord into the edge point, extended to the end, lies above a
        // concave h there: stop once the gap holds a small part of the mass.
        const std::size_t n = points_.size();
        if (n >= 2) {
          const HullPoint& inner = points_[up ? n - 2 : 1];
          const double atEnd = edge.h + ARSSampler::chordSlope(inner, edge) * (end - edge.x);
          const double gapMass = std::fabs(end - edge.x) * meanExp(edge.h - best, atEnd - best);
          if (gapMass <= 0x1p-10 * squeezeMass()) return;
        }
      }
      x = edge.x + (end - edge.x) * 0.5;
      if (x == edge.x || x == end) return;
    } else {
      const HullPoint& edge = up ? points_.back() : points_.front();
      if (best - edge.h >= outerDrop) return;
      x = edge.x + direction * step;
      step *= 2;
      if (!std::isfinite(x)) throw ARSSampler::XNotLogConcave();
    }
    add(x, evaluate(x));
  }
  if (!std::isfinite(up ? upper_ : lower_)) throw ARSSampler::XNotLogConcave();
}

// Golden-section steps between the highest point and its steeper neighbour,
// until both neighbours lie within refineDrop of it: the first hull then has
// the scale of the density near its mode.
void StartingPointSearch::refineAroundMode() {
  for (int i = 0; i < 200; ++i) {
    const std::size_t b = highest();
    const double dropLeft = b > 0 ? points_[b].h - points_[b - 1].h : 0.0;
    const double dropRight = b + 1 < points_.size() ? points_[b].h - points_[b + 1].h : 0.0;
    if (dropLeft <= refineDrop && dropRight <= refineDrop) return;
    const HullPoint& neighbour = dropLeft > dropRight ? points_[b - 1] : points_[b + 1];
    const double x = points_[b].x + goldenFraction * (neighbour.x - points_[b].x);
    if (x == points_[b].x || x == neighbour.x) return;
    add(x, evaluate(x));
  }
}

void StartingPointSearch::completeToThree() {
  for (int i = 0; i < 64 && points_.size() < 3; ++i) {
    double x;
    if (points_.size() == 2) {
      x = points_[0].x + (points_[1].x - points_[0].x) * 0.5;
    } else if (std::isfinite(upper_) && upper_ - points_.back().x >= points_.front().x - lower_) {
      x = points_.back().x + (upper_ - points_.back().x) * 0.5;
    } else {
      x = points_.front().x + (lower_ - points_.front().x) * 0.5;
    }
    if (!std::isfinite(x)) break;
    add(x, evaluate(x));
  }
  if (points_.size() < 3) {
    throw std::invalid_argument("the support " + supportText(lower_, upper_) +
                                " holds fewer than three distinct abscissae with a positive density");
  }
}

// The mass under the chords between the points (a lower bound of the
// density's mass when h is concave), relative to the highest value.
double StartingPointSearch::squeezeMass() const {
  const double top = points_[highest()].h;
  double mass = 0.0;
  for (std::size_t j = 0; j + 1 < points_.size(); ++j) {
    mass += (points_[j + 1].x - points_[j].x) * meanExp(points_[j].h - top, points_[j + 1].h - top);
  }
  return mass;
}

// An unbounded end is cut where the tail of the first hull (the outer secant,
// which lies above a log-concave density beyond the outer point, and stays
// above every later hull) holds tailMass of the mass under the squeeze, a
// lower bound of the density's mass.
void StartingPointSearch::cutUnboundedEnds() {
  const std::size_t k = points_.size();
  const double top = points_[highest()].h;
  const double squeeze = squeezeMass();
  lowerLimit_ = lower_;
  upperLimit_ = upper_;
  if (!std::isfinite(upper_)) {
    const HullPoint& a = points_[k - 2];
    const HullPoint& b = points_[k - 1];
    const double s = ARSSampler::chordSlope(a, b);
    if (!(s < 0)) throw ARSSampler::XNotLogConcave();
    const double level = std::log(tailMass * squeeze * -s);
    upperLimit_ = std::max(b.x, b.x + (level - (b.h - top)) / s);
    if (!std::isfinite(upperLimit_)) throw ARSSampler::XNotLogConcave();
  }
  if (!std::isfinite(lower_)) {
    const HullPoint& a = points_[0];
    const HullPoint& b = points_[1];
    const double s = ARSSampler::chordSlope(a, b);
    if (!(s > 0)) throw ARSSampler::XNotLogConcave();
    const double level = std::log(tailMass * squeeze * s);
    lowerLimit_ = std::min(a.x, a.x + (level - (a.h - top)) / s);
    if (!std::isfinite(lowerLimit_)) throw ARSSampler::XNotLogConcave();
  }
}
