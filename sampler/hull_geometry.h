#pragma once
// The arithmetic both sampling paths share, to the last bit: an evaluated
// point, the slope of a chord, the test that proves a density not
// log-concave, and the exponential the window scales its curve with.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace ars::detail {

struct HullPoint {
  double x = 0.0;  // abscissa
  double h = 0.0;  // log-density there
};

inline double chordSlope(const HullPoint& p, const HullPoint& q) { return (q.h - p.h) / (q.x - p.x); }

// How far rounding of the two values can move the slope between p and q.
// Points a few units in the last place apart (or where h is a staircase in
// its last places) have next to no slope information; extended over a wide
// piece, their secant would fall below h.
inline double chordSlopeNoise(const HullPoint& p, const HullPoint& q) {
  return 8 * std::numeric_limits<double>::epsilon() * (std::fabs(p.h) + std::fabs(q.h)) / (q.x - p.x);
}

// A point lies below a chord only by more than this times (1 + the largest
// |h| of the three): far above the rounding of any log-density computed in
// double precision from terms up to some 10^4 times its value.
constexpr double concavityTolerance = 1e-8;

// b (a.x < b.x < c.x) lies below the chord a-c by more than rounding.
inline bool belowChord(const HullPoint& a, const HullPoint& b, const HullPoint& c) {
  const double chord = a.h + (c.h - a.h) * ((b.x - a.x) / (c.x - a.x));
  const double scale = 1 + std::max({std::fabs(a.h), std::fabs(b.h), std::fabs(c.h)});
  return b.h < chord - concavityTolerance * scale;
}

// The triples that a point (x, h) inserted at index i of points (ascending)
// forms with its neighbours, in the order of their middle point; the first
// that proves h not concave goes to proof. For the checks made before an
// insertion, with no copy of the points.
template <class Points>
bool concaveAround(const Points& points, std::size_t i, const HullPoint& p, HullPoint (&proof)[3]) {
  const std::size_t k = points.size();  // before the insertion
  const auto found = [&](const HullPoint& a, const HullPoint& b, const HullPoint& c) {
    if (!belowChord(a, b, c)) return false;
    proof[0] = a;
    proof[1] = b;
    proof[2] = c;
    return true;
  };
  if (i >= 2 && found(points[i - 2], points[i - 1], p)) return false;
  if (i >= 1 && i < k && found(points[i - 1], p, points[i])) return false;
  if (i + 1 < k && found(p, points[i], points[i + 1])) return false;
  return true;
}

// exp(a + b) when a + b > -50, otherwise exactly 0.0.
inline double shiftedExp(double a, double b) {
  const double sum = a + b;
  return sum > -50 ? std::exp(sum) : 0.0;
}

}  // namespace ars::detail
