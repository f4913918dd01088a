#include "display/hull_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "display/typed_envelope_drawing.h"
#include "sampler/ars.h"

namespace {

// The built-in kinds' segments and the library's pieces, read alike: ends,
// the value at x and the slope of a piece straight in log space.
struct SegmentReading {
  static double left(const EnvelopeSegment& s) { return s.upperLeftX; }
  static double right(const EnvelopeSegment& s) { return s.upperRightX; }
  static double at(const EnvelopeSegment& s, double x) {
    return x == s.upperLeftX ? s.upperLeftY : s.upperLeftY + (x - s.upperLeftX) * s.upperSlope;
  }
  static double slope(const EnvelopeSegment& s) { return s.upperSlope; }
};

struct PieceReading {
  static double left(const ars::detail::EnvelopePiece& p) { return p.left; }
  static double right(const ars::detail::EnvelopePiece& p) { return p.right; }
  static double at(const ars::detail::EnvelopePiece& p, double x) { return p.hull.at(x); }
  static double slope(const ars::detail::EnvelopePiece& p) { return p.hull.slope; }
};

// The hull piece's clipped ends; false when it lies outside [xMin, xMax].
template <class Reading, class Piece>
bool clipped(const Piece& s, double xMin, double xMax, double& a, double& b) {
  a = std::max(Reading::left(s), xMin);
  b = std::min(Reading::right(s), xMax);
  return a <= b;
}

template <class Reading, class Piece>
double topOf(const std::vector<Piece>& pieces, double xMin, double xMax) {
  double top = -std::numeric_limits<double>::infinity();
  double a = 0;
  double b = 0;
  // Each piece is straight in log space: its highest value is at an end.
  for (const Piece& s : pieces) {
    if (!clipped<Reading>(s, xMin, xMax, a, b)) continue;
    for (double v : {Reading::at(s, a), Reading::at(s, b)}) {
      if (std::isfinite(v)) top = std::max(top, v);
    }
  }
  return top;
}

template <class Reading, class Piece>
std::vector<HullCut> cutsOf(const std::vector<Piece>& pieces, double xMin, double xMax, double level) {
  std::vector<HullCut> cuts;
  double a = 0;
  double b = 0;
  for (const Piece& s : pieces) {
    if (!clipped<Reading>(s, xMin, xMax, a, b)) continue;
    const double va = Reading::at(s, a);
    const double vb = Reading::at(s, b);
    if (!(va > level) && !(vb > level)) continue;
    // Where a sloping piece crosses the level, only one side is above it.
    if (!(va > level)) a += (level - va) / Reading::slope(s);
    if (!(vb > level)) b -= (vb - level) / Reading::slope(s);
    if (!cuts.empty() && cuts.back().right >= a) {
      cuts.back().right = std::max(cuts.back().right, b);
    } else {
      cuts.push_back({a, b});
    }
  }
  return cuts;
}

}  // namespace

double hullTop(const std::vector<EnvelopeSegment>& segments, double xMin, double xMax) {
  return topOf<SegmentReading>(segments, xMin, xMax);
}

// T is increasing in the log value: the highest T is the highest log value,
// and a level crosses a line in T where its T does.
double hullTop(const std::vector<ars::detail::EnvelopePiece>& pieces, ars::Transform transform, double xMin,
               double xMax) {
  const double top = topOf<PieceReading>(pieces, xMin, xMax);
  return std::isfinite(top) ? logValueOfT(transform, top) : top;
}

std::vector<HullCut> hullAbove(const std::vector<EnvelopeSegment>& segments, double xMin, double xMax, double level) {
  return cutsOf<SegmentReading>(segments, xMin, xMax, level);
}

std::vector<HullCut> hullAbove(const std::vector<ars::detail::EnvelopePiece>& pieces, ars::Transform transform,
                               double xMin, double xMax, double level) {
  return cutsOf<PieceReading>(pieces, xMin, xMax, ars::detail::toT(transform, level));
}
