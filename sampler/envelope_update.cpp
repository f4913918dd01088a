// Rebuilding the envelope after one insertion by redoing only the pieces the
// new point touches. The result is the one buildEnvelope gives, to the bit.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "sampler/ars_density.h"
#include "sampler/ars.h"
#include "sampler/assertion.h"

namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

// Segment 2i - 1 ends at point i, segment 2i starts there, and both are
// functions of points i - 3 to i + 2 (through the slope carried in, which is
// the recomputed slope of segment 2i - 3, a function of points i - 3 to i).
// The tails depend on the two outermost points on their side and, on the
// right, on the slope of the last piece ending at point k - 2. So a point
// inserted at index j changes the pieces of points j - 2 to j + 3 and the
// tails when it is within reach of them; every other segment keeps its values
// and only moves two places to the right if it lies beyond the new point.
void ARSSampler::rebuildAfterInsert(std::size_t index) {
  if (!updateAfterInsert(index)) {
    totalArea = 0.0;
    buildEnvelope();
  }
#ifndef NDEBUG
  checkAgainstFullBuild();
#endif
}

// The last envelope must have been built from exactly the present points
// without the one at index; every segment records the point it starts or
// ends at, so this is checked directly.
bool ARSSampler::builtWithoutPoint(std::size_t index) const {
  const std::size_t k = points.size();
  if (k < 4 || index >= k || density == nullptr) return false;
  if (builtVersion + 1 != pointsVersion || builtDensity != density ||
      !sameBits(builtLowerLimit, lowerLimit) || !sameBits(builtUpperLimit, upperLimit) ||
      !sameBits(builtScaleOffset, scaleOffset)) {
    return false;
  }
  const std::size_t n = 2 * (k - 1) - 2;  // segments of the old point set
  if (segments.size() != n || builtSegmentCount != n || segmentEnds.size() != n ||
      leftHullValues.size() != n || highestSegment == noIndex) {
    return false;
  }
  for (std::size_t m = 0, old = 0; m < k; ++m) {
    if (m == index) continue;
    // Old point `old` ends segment 2 old - 1, except the first and last,
    // which end the left tail and start the right tail.
    const EnvelopeSegment& record = old + 1 == k - 1 ? segments[n - 1] : segments[old == 0 ? 0 : 2 * old - 1];
    const double x = old + 1 == k - 1 ? record.upperLeftX : record.upperRightX;
    const double h = old + 1 == k - 1 ? record.upperLeftY : record.upperRightY;
    if (!sameBits(x, points[m].x) || !sameBits(h, points[m].h)) return false;
    ++old;
  }
  return true;
}

bool ARSSampler::updateAfterInsert(std::size_t index) {
  if (!builtWithoutPoint(index)) return false;
  const std::size_t k = points.size();
  const std::size_t j = index;
  const std::size_t lastPoint = k - 2;  // the last point with pieces of its own
  const std::size_t iLo = j > 3 ? j - 2 : 1;
  const std::size_t iHi = std::min(lastPoint, j + 3);
  const bool leftTail = j <= 1;
  const bool rightTail = j + 4 >= k;
  const std::size_t first = leftTail ? 0 : 2 * iLo - 1;
  const std::size_t last = rightTail ? 2 * k - 3 : 2 * iHi;  // inclusive

  // Two more segments: the old ones from `first` on move two places right,
  // and [first, last] is rebuilt.
  segments.insert(segments.begin() + static_cast<std::ptrdiff_t>(first), 2, EnvelopeSegment{});
  segmentEnds.insert(segmentEnds.begin() + static_cast<std::ptrdiff_t>(first), 2, 0.0);
  leftHullValues.insert(leftHullValues.begin() + static_cast<std::ptrdiff_t>(first), 2, 0.0);
  const std::size_t oldHighest = highestSegment;

  if (leftTail) segments.front() = leftTailSegment();
  double s = iLo == 1 ? segments.front().upperSlope : segments[2 * iLo - 3].upperSlope;
  for (std::size_t i = iLo; i <= iHi; ++i) s = buildPiecesAt(i, s, &segments[2 * i - 1]);
  if (rightTail) segments.back() = rightTailSegment(s);

  // The highest hull value: the old one unless the pieces that held it were
  // replaced, or a new piece rises above it.
  double highest = builtHighest;
  std::size_t highestAt = oldHighest < first ? oldHighest : oldHighest + 2;
  const bool replaced = oldHighest >= first && oldHighest + 2 <= last;
  bool rescan = replaced;
  for (std::size_t i = first; i <= last; ++i) {
    const EnvelopeSegment& segment = segments[i];
    if (std::isnan(segment.upperLeftY) || std::isnan(segment.upperRightY)) return redoAreas();
    const double top = std::max(segment.upperLeftY, segment.upperRightY);
    if (top > highest || (replaced && top == highest)) {
      highest = top;
      highestAt = i;
      rescan = false;
    }
  }
  if (rescan) {
    // Only comparisons: the scale may well come out as before.
    highest = segments.front().upperLeftY;
    highestAt = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
      const EnvelopeSegment& segment = segments[i];
      const double top = std::max(segment.upperLeftY, segment.upperRightY);
      if (top > highest) {
        highest = top;
        highestAt = i;
      }
    }
  }
  builtHighest = highest;
  highestSegment = highestAt;
  const double offset = 50 - highest;
  if (!sameBits(offset, scaleOffset)) {
    // Every exponential changes with the scale.
    scaleOffset = offset;
    computePieceAreas(0, segments.size());
    firstDescent = segments.size();
    sumAreasFrom(0);
  } else {
    computePieceAreas(first, last + 1);
    sumAreasFrom(first);
  }
  density->logZero = -(scaleOffset + 51);
  buildGuide();
  recordBuild();
  return true;
}

// The segments are right; the scale and every area are taken afresh.
bool ARSSampler::redoAreas() {
  computeAreas();
  recordBuild();
  return true;
}

#ifndef NDEBUG
// Debug builds check every update against the complete build.
void ARSSampler::checkAgainstFullBuild() {
  const std::vector<EnvelopeSegment> updated = segments;
  const std::vector<double> ends = segmentEnds;
  const std::vector<double> left = leftHullValues;
  const std::vector<std::size_t> updatedGuide = guide;
  const double offset = scaleOffset;
  const double total = totalArea;
  const bool ascending = segmentEndsAscending;
  const double scale = guideScale;
  totalArea = 0.0;
  buildEnvelope();
  const bool same =
      updated.size() == segments.size() &&
      std::memcmp(updated.data(), segments.data(), updated.size() * sizeof(EnvelopeSegment)) == 0 &&
      ends.size() == segmentEnds.size() &&
      std::memcmp(ends.data(), segmentEnds.data(), ends.size() * sizeof(double)) == 0 &&
      left.size() == leftHullValues.size() &&
      std::memcmp(left.data(), leftHullValues.data(), left.size() * sizeof(double)) == 0 &&
      updatedGuide == guide && sameBits(offset, scaleOffset) && sameBits(total, totalArea) &&
      ascending == segmentEndsAscending && sameBits(scale, guideScale);
  ARS_ASSERT(same, "incremental envelope == full build", "envelope_update", __LINE__);
}
#endif
