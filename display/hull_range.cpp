#include "display/hull_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sampler/ars.h"

namespace {

// The hull piece's clipped ends; false when it lies outside [xMin, xMax].
bool clipped(const EnvelopeSegment& s, double xMin, double xMax, double& a, double& b) {
  a = std::max(s.upperLeftX, xMin);
  b = std::min(s.upperRightX, xMax);
  return a <= b;
}

double at(const EnvelopeSegment& s, double x) {
  return x == s.upperLeftX ? s.upperLeftY : s.upperLeftY + (x - s.upperLeftX) * s.upperSlope;
}

}  // namespace

double hullTop(const std::vector<EnvelopeSegment>& segments, double xMin, double xMax) {
  double top = -std::numeric_limits<double>::infinity();
  double a = 0;
  double b = 0;
  // Each piece is straight in log space: its highest value is at an end.
  for (const EnvelopeSegment& s : segments) {
    if (!clipped(s, xMin, xMax, a, b)) continue;
    for (double v : {at(s, a), at(s, b)}) {
      if (std::isfinite(v)) top = std::max(top, v);
    }
  }
  return top;
}

std::vector<HullCut> hullAbove(const std::vector<EnvelopeSegment>& segments, double xMin, double xMax, double level) {
  std::vector<HullCut> cuts;
  double a = 0;
  double b = 0;
  for (const EnvelopeSegment& s : segments) {
    if (!clipped(s, xMin, xMax, a, b)) continue;
    const double va = at(s, a);
    const double vb = at(s, b);
    if (!(va > level) && !(vb > level)) continue;
    // Where a sloping piece crosses the level, only one side is above it.
    if (!(va > level)) a += (level - va) / s.upperSlope;
    if (!(vb > level)) b -= (vb - level) / s.upperSlope;
    if (!cuts.empty() && cuts.back().right >= a) {
      cuts.back().right = std::max(cuts.back().right, b);
    } else {
      cuts.push_back({a, b});
    }
  }
  return cuts;
}
