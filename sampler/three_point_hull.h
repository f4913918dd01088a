#pragma once
// The hull of three points drawn from directly, for the one draw of a Gibbs
// update: the pieces the envelope would build from them, with none of its
// tables. Only for three points around the mode whose tails fall (as a
// guided start or a search leaves them): the hull is then highest at the
// outer points, and its four pieces fall away from them, the tails outwards
// and the two intervals inwards to the middle point.
#include <cmath>
#include <cstddef>
#include <limits>

#include "sampler/hull_geometry.h"

namespace ars::detail {

struct ThreePointHull {
  // Pieces, left to right: the lower tail and [a, b] from a, [b, c] and the
  // upper tail from c.
  double anchor[2];  // a.x and c.x
  double top[4];     // the hull at the anchor
  double rate[4];    // > 0: how fast it falls away from there
  double width[4];   // infinite for an unbounded tail
  double expTop[4];  // exp(top - highest)
  double end[4];     // the cumulative area at the piece's far end, relative to exp(highest)
  double bound[2];   // u2 at or below it lies under the squeeze on [a, b], [b, c]
  double squeeze;    // the area under the chords, relative to exp(highest) (if asked for)
  bool built = false;
};

// False (and built false) unless a.x < b.x < c.x are concave with falling
// outer secants, inside [lower, upper] (either end may be infinite).
// withSqueeze: the squeeze's area too (NaN otherwise; a draw needs none).
bool buildThreePointHull(const HullPoint& a, const HullPoint& b, const HullPoint& c, double lower,
                         double upper, ThreePointHull& hull, bool withSqueeze = true);

// The abscissa holding share u (0 <= u < 1) of the hull's area, the hull
// there, and the squeeze bound of its piece (0 on the tails).
struct HullCandidate {
  double x;
  double logHull;
  double acceptBound;
};
// Inline, as chordOfPointsAt: both serve every candidate of a one-draw
// update, where a call of their own would cost a tenth of the work.
inline HullCandidate hullCandidate(const ThreePointHull& hull, double u) {
  const double t = u * hull.end[3];
  int i = 0;
  while (i < 3 && t >= hull.end[i]) ++i;
  const double r = i == 0 ? t : t - hull.end[i - 1];
  const double rate = hull.rate[i];
  double q = r * rate / hull.expTop[i];
  if (q > 1 - 0x1p-53) q = 1 - 0x1p-53;
  double d = -std::log1p(-q) / rate;
  if (!(d >= 0)) d = 0;
  if (d > hull.width[i]) d = hull.width[i];
  // Pieces 0 and 2 run left of their anchors, 1 and 3 right.
  const double x = (i & 1) != 0 ? hull.anchor[i >> 1] + d : hull.anchor[i >> 1] - d;
  return {x, hull.top[i] - rate * d, i == 1 ? hull.bound[0] : i == 2 ? hull.bound[1] : 0.0};
}

// The hull of k >= 3 points (ascending, concave) at x, the secants widened
// as the envelope widens them: never above that of fewer of them, so that
// candidates of the three points' hull thinned to it are candidates of it.
double hullOfPointsAt(const HullPoint* p, std::size_t k, double lower, double upper, double x);
// The chord between the points around x (from the higher one, as the
// envelope's squeeze); -infinity outside them.
inline double chordOfPointsAt(const HullPoint* p, std::size_t k, double x) {
  if (!(x > p[0].x && x < p[k - 1].x)) return -std::numeric_limits<double>::infinity();
  std::size_t i = 0;
  while (x >= p[i + 1].x) ++i;
  const HullPoint& a = p[i];
  const HullPoint& b = p[i + 1];
  return a.h >= b.h ? a.h + (b.h - a.h) * ((x - a.x) / (b.x - a.x)) : b.h - (b.h - a.h) * ((b.x - x) / (b.x - a.x));
}

}  // namespace ars::detail
