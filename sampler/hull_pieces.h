#pragma once
// The pieces of an upper hull of secants next to its outer points, shared by
// the envelope and the three-point draw, so that both bound h alike.
#include <algorithm>
#include <cmath>
#include <limits>

#include "sampler/argument_checks.h"
#include "sampler/hull_geometry.h"
#include "sampler/not_log_concave.h"

namespace ars::detail {

// A few units in the last place of the terms a computed value came from: the
// hull is raised by this much so that rounding never puts it below h.
constexpr double roundingMargin = 8 * std::numeric_limits<double>::epsilon();

// A piece of the hull before its areas and squeeze: from left to right,
// highest (top) at anchor, falling by rate per unit away from it.
struct BarePiece {
  double left, right, anchor, top, rate;
};

// A lower bound of e^g (the cubic of its series: the rest is g^4 e^t / 24 >= 0),
// within 5e-6 of it for g >= -0.1, where squeezes hug hulls: the bound that
// lets most draws accept without a log, at a fraction of an exponential's
// cost for a sampler that draws once.
inline double belowExp(double g) {
  const double cubic = 1 + g * (1 + g * (0.5 + g * (1.0 / 6)));
  return cubic > 0 ? cubic : 0.0;
}

// (1 - e^-z) / z, the mean of e^-t over [0, z] times... stable at 0.
inline double fallingMean(double z) { return z > 1e-8 ? -std::expm1(-z) / z : 1 - 0.5 * z; }

// The tails from the outer point p and its secant's slope s (widened); false
// where the tail has no width. Throws where a tail towards an infinite limit
// does not fall.
[[gnu::always_inline]] inline bool lowerTail(const HullPoint& p, double s, double lower, BarePiece& piece) {
  const double width = p.x - lower;
  if (!(width > 0)) return false;
  if (s > 0) {
    piece = {lower, p.x, p.x, p.h, s};
  } else if (std::isfinite(width)) {
    const double rise = -s * width;
    piece = {lower, p.x, lower, p.h + rise + roundingMargin * (std::fabs(p.h) + rise), -s};
  } else {
    throw NotLogConcave("not integrable towards -infinity: h does not fall to the left of " +
                            number(p.x),
                        NotLogConcave::Reason::NotIntegrable);
  }
  return true;
}
[[gnu::always_inline]] inline bool upperTail(const HullPoint& p, double s, double upper, BarePiece& piece) {
  const double width = upper - p.x;
  if (!(width > 0)) return false;
  if (s < 0) {
    piece = {p.x, upper, p.x, p.h, -s};
  } else if (std::isfinite(width)) {
    const double rise = s * width;
    piece = {p.x, upper, upper, p.h + rise + roundingMargin * (std::fabs(p.h) + rise), s};
  } else {
    throw NotLogConcave("not integrable towards +infinity: h does not fall to the right of " +
                            number(p.x),
                        NotLogConcave::Reason::NotIntegrable);
  }
  return true;
}

// The outer intervals, from the one secant each has (g from the right, d from the left).
[[gnu::always_inline]] inline BarePiece firstInterval(const HullPoint& a, const HullPoint& b, double g) {
  if (g >= 0) return {a.x, b.x, b.x, b.h, g};
  const double rise = -g * (b.x - a.x);
  const double top = std::max(a.h, b.h + rise + roundingMargin * (std::fabs(b.h) + rise));
  return {a.x, b.x, a.x, top, -g};
}
[[gnu::always_inline]] inline BarePiece lastInterval(const HullPoint& a, const HullPoint& b, double d) {
  if (d <= 0) return {a.x, b.x, a.x, a.h, -d};
  const double rise = d * (b.x - a.x);
  const double top = std::max(b.h, a.h + rise + roundingMargin * (std::fabs(a.h) + rise));
  return {a.x, b.x, b.x, top, d};
}

}  // namespace ars::detail
