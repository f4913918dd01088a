#include "sampler/three_point_hull.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "sampler/argument_checks.h"
#include "sampler/hull_pieces.h"

namespace ars::detail {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// Of exp(hull - highest) over a piece falling at rate over width from
// expTop; far: exp of the hull at its far end (0 on a tail).
double pieceArea(double expTop, double far, double rate, double width) {
  const double z = rate * width;
  if (z > 0.5) return (expTop - far) / rate;
  return expTop * width * fallingMean(z);
}

// Of exp(chord - highest) between p and q, given the exponentials at both.
double chordArea(const HullPoint& p, const HullPoint& q, double expP, double expQ) {
  const double fall = std::fabs(q.h - p.h);
  if (fall > 0.5) return (q.x - p.x) * std::fabs(expP - expQ) / fall;
  return std::max(expP, expQ) * (q.x - p.x) * fallingMean(fall);
}

}  // namespace

bool buildThreePointHull(const HullPoint& a, const HullPoint& b, const HullPoint& c, double lower,
                         double upper, ThreePointHull& hull, bool withSqueeze) {
  const double ab = chordSlope(a, b), abNoise = chordSlopeNoise(a, b);
  const double bc = chordSlope(b, c), bcNoise = chordSlopeNoise(b, c);
  const double s0 = ab - abNoise, s3 = bc + bcNoise;
  hull.built = false;
  if (!(s0 > 0 && s3 < 0 && ab > bc && a.x >= lower && c.x <= upper)) return false;
  // As the envelope's pieces: the tails from the outer points, and each
  // interval from the secant beyond its other end, raised by rounding.
  const BarePiece first = firstInterval(a, b, std::min(bc - bcNoise, ab));
  const BarePiece last = lastInterval(b, c, std::max(ab + abNoise, bc));
  hull.anchor[0] = a.x;
  hull.anchor[1] = c.x;
  hull.top[0] = a.h;
  hull.top[1] = first.top;
  hull.top[2] = last.top;
  hull.top[3] = c.h;
  hull.rate[0] = s0;
  hull.rate[1] = first.rate;
  hull.rate[2] = last.rate;
  hull.rate[3] = -s3;
  hull.width[0] = a.x - lower;
  hull.width[1] = b.x - a.x;
  hull.width[2] = c.x - b.x;
  hull.width[3] = upper - c.x;
  const double highest = std::max(first.top, last.top);
  hull.expTop[0] = std::exp(a.h - highest);
  hull.expTop[1] = first.top == highest ? 1.0 : std::exp(first.top - highest);
  hull.expTop[2] = last.top == highest ? 1.0 : std::exp(last.top - highest);
  hull.expTop[3] = std::exp(c.h - highest);
  // Both intervals end at b, within rounding of b.h.
  const double middle = std::exp(b.h - highest);
  const double areas[4] = {
      std::isinf(hull.width[0]) ? hull.expTop[0] / s0 : hull.expTop[0] * hull.width[0] * fallingMean(s0 * hull.width[0]),
      pieceArea(hull.expTop[1], middle, hull.rate[1], hull.width[1]),
      pieceArea(hull.expTop[2], middle, hull.rate[2], hull.width[2]),
      std::isinf(hull.width[3]) ? hull.expTop[3] / -s3 : hull.expTop[3] * hull.width[3] * fallingMean(-s3 * hull.width[3])};
  double sum = 0.0;
  for (int i = 0; i < 4; ++i) {
    sum += areas[i];
    hull.end[i] = sum;
  }
  if (!(sum > 0 && sum < inf)) return false;
  // The squeeze's gap to the hull is linear on each interval and least at
  // the outer point (it is about nought at b).
  hull.bound[0] = belowExp(std::min(a.h - first.top, 0.0)) * (1 - 1e-12);
  hull.bound[1] = belowExp(std::min(c.h - last.top, 0.0)) * (1 - 1e-12);
  hull.squeeze = withSqueeze ? chordArea(a, b, hull.expTop[0], middle) + chordArea(b, c, middle, hull.expTop[3])
                            : std::numeric_limits<double>::quiet_NaN();
  hull.built = true;
  return true;
}

double hullOfPointsAt(const HullPoint* p, std::size_t k, double lower, double upper, double x) {
  BarePiece piece{};
  if (x < p[0].x) {
    lowerTail(p[0], chordSlope(p[0], p[1]) - chordSlopeNoise(p[0], p[1]), lower, piece);
    return piece.top - piece.rate * std::fabs(x - piece.anchor);
  }
  if (x >= p[k - 1].x) {
    if (!upperTail(p[k - 1], chordSlope(p[k - 2], p[k - 1]) + chordSlopeNoise(p[k - 2], p[k - 1]), upper, piece)) {
      return p[k - 1].h;
    }
    return piece.top - piece.rate * std::fabs(x - piece.anchor);
  }
  std::size_t i = 0;
  while (x >= p[i + 1].x) ++i;
  const HullPoint& a = p[i];
  const HullPoint& b = p[i + 1];
  const double m = chordSlope(a, b);
  double hull = std::numeric_limits<double>::infinity();
  if (i >= 1) {
    const double d = std::max(chordSlope(p[i - 1], a) + chordSlopeNoise(p[i - 1], a), m);
    const double rise = d * (x - a.x);
    hull = a.h + rise + roundingMargin * (std::fabs(a.h) + std::fabs(rise));
  }
  if (i + 2 < k) {
    const double g = std::min(chordSlope(b, p[i + 2]) - chordSlopeNoise(b, p[i + 2]), m);
    const double rise = g * (x - b.x);
    hull = std::min(hull, b.h + rise + roundingMargin * (std::fabs(b.h) + std::fabs(rise)));
  }
  return hull;
}

}  // namespace ars::detail
