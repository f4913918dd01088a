#pragma once
// The envelope of the library face: the upper hull of secants through the
// evaluated points of a concave h, with tails that run to the limits (which
// may be infinite), and the squeeze of chords between the points.
//
// Every piece is kept from its highest end (its anchor), where the hull
// takes its value directly from a point or from a crossing computed from the
// nearer point, and falls away from it at a rate >= 0. So no value is a
// small difference of large ones, every exponential is at most 1 (relative
// to the highest hull value), and inversion is one log1p.
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "sampler/hull_geometry.h"
#include "sampler/hull_pieces.h"
#include "sampler/not_log_concave.h"

namespace ars::detail {

struct HullSegment {
  double left;    // the piece's ends (left may be -infinity, right +infinity)
  double right;
  double anchor;  // abscissa of the highest hull value on the piece
  double top;     // that value
  double rate;    // >= 0: the hull falls by rate per unit away from the anchor
  double dir;     // +1: the piece runs right of its anchor; -1: left
  double width;   // >= 0, +infinity for an unbounded tail
  double expTop;  // exp(top - highest)
  double area;    // of exp(hull - highest) over the piece
  double end;     // the cumulative area at the piece's right end
  // Squeeze minus hull at distance d from the anchor: gap0 + gapSlope * d
  // (gap0 = -infinity where the piece has no squeeze: the tails).
  double gap0;
  double gapSlope;
  double acceptBound;  // <= exp of the smallest gap on the piece: u2 below it accepts
};

class HullEnvelope {
 public:
  // The points (ascending, finite h, at least 3) and the limits (-inf/inf
  // allowed). Throws ars::NotLogConcave when the points prove h not concave
  // or a tail towards an infinite limit does not fall.
  void build(const std::vector<HullPoint>& points, double lower, double upper);

  const std::vector<HullPoint>& points() const { return points_; }
  const std::vector<HullSegment>& segments() const { return segments_; }
  double lower() const { return lower_; }
  double upper() const { return upper_; }
  double highest() const { return highest_; }
  double total() const { return total_; }            // relative to exp(highest)
  double squeezeTotal() const;  // likewise (a sum over the points at each call)
  double logHatArea() const;
  double logSqueezeArea() const;
  // Changes with every build.
  std::size_t version() const { return version_; }
  double ratio() const { return total_ > 0 ? squeezeTotal() / total_ : 0.0; }
  // ratio() >= share, summing only as far as it takes.
  bool squeezeHolds(double share) const;

  // The piece holding cumulative area t (0 <= t < total()).
  std::size_t choose(double t) const;
  double areaBefore(std::size_t i) const { return i == 0 ? 0.0 : segments_[i - 1].end; }
  // Distance from the anchor of piece i that holds area r of that piece.
  double invert(std::size_t i, double r) const;
  double hullAt(double x) const;
  // The hull of the points as they are now, added ones included, at x: the
  // pieces a rebuild would give there, without the rebuild. Throws as a
  // build would where those pieces prove h not log-concave.
  double hullNow(double x);
  // logY lies on or below the chord between the points around x (the
  // points added since the last build count too).
  bool underSqueeze(double x, double logY) const;

  // Inserts a point (finite h) and rebuilds; false when x repeats a point
  // or its chord to a neighbour has no finite slope.
  bool insert(double x, double h);
  // The same without the rebuild (the neighbours' concavity is checked at
  // once); refresh() rebuilds when points were added so.
  bool add(double x, double h);
  // The points, for a search to fill in place (build() from them copies
  // nothing); the envelope counts as changed until the next build.
  std::vector<HullPoint>& editPoints() {
    dirty_ = true;
    return points_;
  }
  // The limits of points placed by editPoints() without a search; built at
  // the next refresh.
  void place(double lower, double upper) {
    lower_ = lower;
    upper_ = upper;
    ++version_;
    dirty_ = true;
  }
  // The points no longer match the pieces (a search that failed half-way).
  void invalidate() { dirty_ = true; }
  void refresh() {
    if (dirty_) build(points_, lower_, upper_);
  }
  bool dirty() const { return dirty_; }
  // Moves a limit in to x (h is -infinity there, beyond the outer points).
  void cut(double x);
  // Exchanges the two envelopes, buffers and all; both then count as
  // changed (versions newer than either had), so that nothing built from
  // one is taken for the other.
  void swap(HullEnvelope& other) noexcept;

 private:
  using Piece = BarePiece;
  // The pieces between points i and i + 1 (one or two; m: the chord's
  // slope), and the tails (false where a tail has no width).
  std::size_t intervalPieces(std::size_t i, Piece (&out)[2], double& m) const;
  bool leftTail(Piece& piece) const;
  bool rightTail(Piece& piece) const;
  void buildThree();
  void addInterval(std::size_t i);
  void addLeftTail();
  void addRightTail();
  // a, b: the points whose chord (slope m) is the piece's squeeze; none on the tails.
  void push(double left, double right, double anchor, double top, double rate,
            const HullPoint* a = nullptr, const HullPoint* b = nullptr, double m = 0.0);
  void finish();
  bool squeezeSurelyHolds(std::size_t top, double wanted) const;

  std::vector<HullPoint> points_;
  std::vector<HullSegment> segments_;
  std::vector<std::size_t> guide_;
  double guideScale_ = 0.0;
  double lower_ = 0.0;
  double upper_ = 0.0;
  double highest_ = 0.0;
  double total_ = 0.0;
  std::size_t version_ = 0;
  bool dirty_ = false;
};

// The chords from (x, h), inserted before at, to its neighbours have finite
// slopes. A point whose chord to a neighbour has none (h so much lower than
// its neighbour's, so close by, that the quotient overflows) would poison the
// envelope; such a point is left out: it adds nothing usable.
inline bool finiteSlopes(const HullPoint* begin, const HullPoint* at, const HullPoint* end, double x, double h) {
  if (at != begin && !std::isfinite(chordSlope(*(at - 1), HullPoint{x, h}))) return false;
  if (at != end && !std::isfinite(chordSlope(HullPoint{x, h}, *at))) return false;
  return true;
}
inline bool finiteSlopes(const std::vector<HullPoint>& points, std::vector<HullPoint>::const_iterator at,
                         double x, double h) {
  const HullPoint* begin = points.data();
  return finiteSlopes(begin, begin + (at - points.begin()), begin + points.size(), x, h);
}
// The refusal b below the chord a-c proves, with its reason text and the three points.
NotLogConcave chordProof(const HullPoint& a, const HullPoint& b, const HullPoint& c);

}  // namespace ars::detail
