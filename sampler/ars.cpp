#include "sampler/argument_checks.h"
#include "sampler/ars.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "sampler/ars_density.h"
#include "sampler/assertion.h"
#include "sampler/mt64_uniform.h"
#include "sampler/squeeze_decision.h"
#include "sampler/uniform_random.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

[[noreturn]] void badSetting(const std::string& what) { throw std::invalid_argument(what); }

using ars::detail::number;

}  // namespace

ARSSampler::ARSSampler() { reset(); }

ARSSampler::~ARSSampler() { clear(); }

void ARSSampler::reset() {
  density = nullptr;
  lowerLimit = tolerance;
  upperLimit = 1.0 - tolerance;
  lowerBounded = true;
  upperBounded = true;
  totalArea = 0.0;
  lastX = 0.0;
  lastLogY = 0.0;
  hasLastDraw = false;
}

void ARSSampler::restart() {
  clear();
  reset();
  scaleOffset = 0.0;
}

void ARSSampler::clear() {
  hasLastDraw = false;
  counts = ars::SamplerCounts{};
  points.clear();
  segments.clear();
  ++pointsVersion;
}

double ARSSampler::evaluate(double x) {
  ++counts.evaluations;
  return density->logDensity(x);
}

double ARSSampler::scaledExp(double y) const {
  const double shifted = y + scaleOffset;
  return shifted > -50 ? std::exp(shifted) : 0.0;
}

double ARSSampler::scaledLog(double v) const {
  if (v > 0) return std::log(v) - scaleOffset;
  return -(scaleOffset + 51);
}

double ARSSampler::chordSlope(const HullPoint& p, const HullPoint& q) { return ars::detail::chordSlope(p, q); }

void ARSSampler::initPoints() {
  if (points.size() >= 3) {
    if (!keepPoints) reducePoints();
    return;
  }
  checkLimits();
  HullPoint p, q, r;
  segments.clear();
  if (lowerBounded && upperBounded) {
    extendLowerLimit();
    extendUpperLimit();
    const double w = upperLimit - lowerLimit;
    p.x = lowerLimit + 0.05 * w;
    q.x = lowerLimit + 0.5 * w;
    r.x = lowerLimit + 0.95 * w;
    p.h = evaluate(p.x);
    q.h = evaluate(q.x);
    r.h = evaluate(r.x);
    if (chordSlope(p, q) <= 0 || chordSlope(q, r) >= 0) findStartingPoints(p, q, r);
  } else {
    findStartingPoints(p, q, r);
  }
  checkStartingPoints(p, q, r);
  // A stray set of fewer than three points cannot take part in an envelope.
  points.assign({p, q, r});
  ++pointsVersion;
  hasLastDraw = false;
}

// The limits that initPoints works from. None of these fires for the window
// program, whose limits are those of reset() or an unbounded upper end.
void ARSSampler::checkLimits() const {
  if (lowerBounded && !std::isfinite(lowerLimit)) {
    badSetting("lowerLimit must be finite when lowerBounded is set (it is " + number(lowerLimit) + ")");
  }
  if (upperBounded && !std::isfinite(upperLimit)) {
    badSetting("upperLimit must be finite when upperBounded is set (it is " + number(upperLimit) + ")");
  }
  // The bounded searches keep one tolerance from each end.
  if (lowerBounded && upperBounded && !(upperLimit - lowerLimit > 2 * tolerance)) {
    badSetting("lowerLimit (" + number(lowerLimit) + ") must lie below upperLimit (" +
               number(upperLimit) + ") by more than twice the tolerance");
  }
}

// Starting points must be finite, ordered and inside the limits; otherwise a
// NaN or infinite point would poison every chord of the envelope.
void ARSSampler::checkStartingPoints(const HullPoint& p, const HullPoint& q,
                                     const HullPoint& r) const {
  for (const HullPoint& point : {p, q, r}) {
    if (!std::isfinite(point.x)) badSetting("a starting point is not finite: check the limits");
    if (!std::isfinite(point.h)) {
      badSetting("logDensity must be finite at the starting points; it is " + number(point.h) +
                 " at x = " + number(point.x));
    }
  }
  if (!(p.x < q.x && q.x < r.x)) throw XNotLogConcave();
}

// Throws when an outward search over an unbounded end runs away: its point
// stopped being finite, or its step doubled more often than any sensible
// density needs.
void ARSSampler::checkSearch(const HullPoint& moved, int& doublings) const {
  if (!std::isfinite(moved.x) || !std::isfinite(moved.h) || ++doublings > maxSearchDoublings) {
    throw XNotLogConcave();
  }
}

void ARSSampler::findStartingPoints(HullPoint& a, HullPoint& b, HullPoint& c) {
  ARS_ASSERT(density != nullptr, "density != NULL", "ars", 202);
  // A start of 1.0 on an unbounded side, as long as it lies beyond the
  // bounded end; when both ends are unbounded, 0 and 1 (the searches then move
  // them apart until they straddle the mode).
  if (lowerBounded && upperBounded) {
    a.x = lowerLimit + tolerance;
    c.x = upperLimit - tolerance;
  } else if (lowerBounded) {
    a.x = lowerLimit + tolerance;
    c.x = a.x < 1.0 ? 1.0 : a.x + std::max(1.0, std::fabs(a.x));
  } else if (upperBounded) {
    c.x = upperLimit - tolerance;
    a.x = c.x > 1.0 ? 1.0 : c.x - std::max(1.0, std::fabs(c.x));
  } else {
    a.x = 0.0;
    c.x = 1.0;
  }
  if (c.x < a.x) std::swap(a.x, c.x);
  a.h = evaluate(a.x);
  c.h = evaluate(c.x);

  // Early acceptance needs a middle point that was really evaluated, which
  // only initPoints' bounded case provides.
  if (lowerBounded && upperBounded && chordSlope(a, b) >= 0 && chordSlope(b, c) <= 0) return;

  // Upper search: find a falling chord from the middle to the right point.
  b.x = (c.x + a.x) * 0.5;
  b.h = evaluate(b.x);
  int doublings = 0;
  while (chordSlope(b, c) >= 0) {
    const double d = c.x - b.x;
    if (upperBounded) {
      b.x = b.x + 0.5 * d;
      b.h = evaluate(b.x);
      if (c.x - b.x < tolerance) throw XNotLogConcave();
    } else {
      b = c;
      c.x = c.x + 2 * d;
      c.h = evaluate(c.x);
      checkSearch(c, doublings);
    }
  }
  upperLimit = c.x;
  extendUpperLimit();

  // Lower search: find a rising chord from the left to the middle point.
  doublings = 0;
  while (chordSlope(a, b) <= 0) {
    const double d = b.x - a.x;
    if (lowerBounded) {
      b.x = b.x - 0.5 * d;
      b.h = evaluate(b.x);
      if (b.x - a.x < tolerance) throw XNotLogConcave();
    } else {
      a.x = a.x - d;
      a.h = evaluate(a.x);
      checkSearch(a, doublings);
    }
  }
  lowerLimit = a.x;
  extendLowerLimit();

  // Move the outer points inwards, half-way to the limits, unless that spoils
  // the rising or falling chord.
  const HullPoint savedA = a;
  a.x = (lowerLimit + b.x) * 0.5;
  a.h = evaluate(a.x);
  if (chordSlope(a, b) < 0) a = savedA;

  const HullPoint savedC = c;
  c.x = (b.x + upperLimit) * 0.5;
  c.h = evaluate(c.x);
  if (chordSlope(b, c) > 0) c = savedC;
}

void ARSSampler::extendUpperLimit() {
  ARS_ASSERT(density != nullptr, "density != NULL", "ars", 363);
  if (upperBounded) return;
  if (upperLimit < upperStart) upperLimit = upperStart;
  const double level = scaledLog(tolerance);
  int doublings = 0;
  while (evaluate(upperLimit) > level) {
    upperLimit = upperLimit * 2;
    checkSearch({upperLimit, 0.0}, doublings);
  }
}

void ARSSampler::extendLowerLimit() {
  ARS_ASSERT(density != nullptr, "density != NULL", "ars", 381);
  if (lowerBounded) return;
  if (lowerLimit > lowerStart) lowerLimit = lowerStart;
  const double level = scaledLog(tolerance);
  int doublings = 0;
  while (evaluate(lowerLimit) > level) {
    lowerLimit = lowerLimit * 2;
    checkSearch({lowerLimit, 0.0}, doublings);
  }
}

void ARSSampler::reducePoints() {
  const HullPoint first = points.front();
  const HullPoint last = points.back();
  const double middle = (first.x + last.x) * 0.5;
  std::size_t chosen = 0;
  double best = 0.0;
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    const HullPoint& p = points[i];
    if (chordSlope(first, p) > 0 && chordSlope(p, last) < 0) {
      const double distance = (p.x - middle) * (p.x - middle);
      if (chosen == 0 || distance < best) {
        chosen = i;
        best = distance;
      }
    }
  }
  if (chosen == 0) throw XNotLogConcave();
  const HullPoint kept = points[chosen];
  points.assign({first, kept, last});
  ++pointsVersion;
}

namespace {

// The slopes of two secants, spread apart when they are nearly parallel so
// that they do not meet far outside their interval.
struct SpreadSlopes {
  double d;
  double g;
};

SpreadSlopes spreadSlopes(const HullPoint& q1, const HullPoint& q2, const HullPoint& q3,
                          const HullPoint& q4, double minSlopeGap) {
  double d = ARSSampler::chordSlope(q1, q2);
  double g = ARSSampler::chordSlope(q3, q4);
  if (d - g < minSlopeGap) {
    const double e = (g + (minSlopeGap - d)) * 0.5;
    d = d + e;
    g = g - e;
  }
  return {d, g};
}

}  // namespace

// Without spreading: the crossing of the secant q1-q2, extended right from q2,
// with the secant q3-q4, extended left from q3. For a concave h it lies in
// [q2.x, q3.x] at the fraction (m - g) / (d - g), m being the chord q2-q3;
// computed so, it stays in its interval. When the crossing is so close to an
// end (or the secants so nearly parallel) that the chord q2-q3 is within
// rounding of the hull, the crossing moves to that end: the hull piece is then
// exactly a chord or exactly a secant, and no slope is recomputed from a
// piece too short to carry one.
ARSSampler::Crossing ARSSampler::stableIntersection(const HullPoint& q1, const HullPoint& q2,
                                                    const HullPoint& q3,
                                                    const HullPoint& q4) const {
  const double d = chordSlope(q1, q2);
  const double g = chordSlope(q3, q4);
  const double m = chordSlope(q2, q3);
  const double width = q3.x - q2.x;
  double lambda = (m - g) / (d - g);
  if (!(lambda > 0)) lambda = 0;  // also NaN: parallel secants
  if (lambda > 1) lambda = 1;
  const double gap = (d - g) * lambda * (1 - lambda) * width;
  const double level = 1e-12 * (1 + std::fabs(q2.h) + std::fabs(q3.h));
  if (!(gap > level)) {
    // Both ends of the interval lie on the hull; pick the nearer one.
    if (lambda < 0.5) return {q2.x, q2.h};
    return {q3.x, q3.h};
  }
  return {q2.x + lambda * width, q2.h + d * (lambda * width)};
}

double ARSSampler::intersectX(const HullPoint& q1, const HullPoint& q2, const HullPoint& q3,
                              const HullPoint& q4) const {
  if (!(minSlopeGap > 0)) return stableIntersection(q1, q2, q3, q4).x;
  const SpreadSlopes s = spreadSlopes(q1, q2, q3, q4, minSlopeGap);
  const double b1 = q2.h - q2.x * s.d;
  const double b2 = q3.h - q3.x * s.g;
  return (b1 - b2) / (s.g - s.d);
}

double ARSSampler::intersectY(const HullPoint& q1, const HullPoint& q2, const HullPoint& q3,
                              const HullPoint& q4) const {
  if (!(minSlopeGap > 0)) return stableIntersection(q1, q2, q3, q4).y;
  const SpreadSlopes s = spreadSlopes(q1, q2, q3, q4, minSlopeGap);
  const double b1 = q2.h - q2.x * s.d;
  const double b2 = q3.h - q3.x * s.g;
  return (s.g * b1 - s.d * b2) / (s.g - s.d);
}

EnvelopeSegment ARSSampler::leftTailSegment() const {
  const std::vector<HullPoint>& p = points;
  const double s = chordSlope(p[0], p[1]);
  EnvelopeSegment leftTail;
  leftTail.upperLeftX = lowerLimit;
  leftTail.upperLeftY = p[0].h - (p[0].x - lowerLimit) * s;
  leftTail.upperRightX = p[0].x;
  leftTail.upperRightY = p[0].h;
  leftTail.upperSlope = s;
  return leftTail;
}

// The two segments around point i (0 < i < k - 1): pieces[0] ends at x_i,
// pieces[1] starts there. Returns the slope carried on to point i + 1.
double ARSSampler::buildPiecesAt(std::size_t i, double carried,
                                 EnvelopeSegment* pieces) const {
  const std::vector<HullPoint>& p = points;
  const std::size_t k = p.size();

  EnvelopeSegment ending;  // [.., x_i]
  if (i == 1) {
    const double t = chordSlope(p[1], p[2]);
    ending.upperLeftX = p[0].x;
    ending.upperLeftY = p[1].h - (p[1].x - p[0].x) * t;
    ending.upperSlope = t;
    ending.squeezeLeftX = p[0].x;
    ending.squeezeLeftY = p[0].h;
  } else {
    const double zx = intersectX(p[i - 2], p[i - 1], p[i], p[i + 1]);
    const double zy = intersectY(p[i - 2], p[i - 1], p[i], p[i + 1]);
    ending.upperLeftX = zx;
    ending.upperLeftY = zy;
    // The slope is recomputed from the piece's ends; a piece of zero width
    // (the secants meet exactly at x_i) would make it 0 / 0 and poison every
    // later segment, so it takes the slope of the secant it lies on.
    ending.upperSlope = zx != p[i].x ? (p[i].h - zy) / (p[i].x - zx)
                                     : chordSlope(p[i], p[i + 1]);
    ending.squeezeLeftX = p[i - 1].x;
    ending.squeezeLeftY = p[i].h - (p[i].x - p[i - 1].x) * carried;
  }
  ending.upperRightX = p[i].x;
  ending.upperRightY = p[i].h;
  ending.squeezeRightX = p[i].x;
  ending.squeezeRightY = p[i].h;
  ending.squeezeSlope = carried;
  pieces[0] = ending;
  // The next piece starts with this recomputed slope, not the secant's.
  // Where slopes were spread the two differ, and once the points are dense
  // (after some 10^5 draws from one envelope) the hull can dip below the
  // density by more than densityTest tolerates.
  // The slope depends only on points i - 2 to i + 1, never on the slope
  // carried in: each segment is a function of a few neighbouring points,
  // which is what lets rebuildAfterInsert redo only the pieces near a new one.
  const double s = ending.upperSlope;

  EnvelopeSegment starting;  // [x_i, ..]
  starting.upperLeftX = p[i].x;
  starting.upperLeftY = p[i].h;
  if (i == k - 2) {
    starting.upperRightX = p[k - 1].x;
    starting.upperRightY = p[i].h + (p[k - 1].x - p[i].x) * carried;
  } else {
    starting.upperRightX = intersectX(p[i - 1], p[i], p[i + 1], p[i + 2]);
    starting.upperRightY = intersectY(p[i - 1], p[i], p[i + 1], p[i + 2]);
  }
  starting.upperSlope = carried;
  starting.squeezeLeftX = p[i].x;
  starting.squeezeLeftY = p[i].h;
  starting.squeezeRightX = p[i + 1].x;
  starting.squeezeRightY = p[i + 1].h;
  starting.squeezeSlope = s;
  pieces[1] = starting;
  return s;
}

EnvelopeSegment ARSSampler::rightTailSegment(double carried) const {
  const HullPoint& last = points.back();
  EnvelopeSegment rightTail;
  rightTail.upperLeftX = last.x;
  rightTail.upperLeftY = last.h;
  rightTail.upperRightX = upperLimit;
  rightTail.upperRightY = last.h + (upperLimit - last.x) * carried;
  rightTail.upperSlope = carried;
  return rightTail;
}

void ARSSampler::buildEnvelope() {
  const std::size_t k = points.size();
  segments.assign(2 * k - 2, EnvelopeSegment{});
  segments.front() = leftTailSegment();
  double s = segments.front().upperSlope;
  for (std::size_t i = 1; i + 1 < k; ++i) s = buildPiecesAt(i, s, &segments[2 * i - 1]);
  segments.back() = rightTailSegment(s);
  computeAreas();
  recordBuild();
}

void ARSSampler::recordBuild() {
  builtVersion = pointsVersion;
  builtLowerLimit = lowerLimit;
  builtUpperLimit = upperLimit;
  builtDensity = density;
  builtSegmentCount = segments.size();
  builtScaleOffset = scaleOffset;
}

double ARSSampler::pieceArea(double x1, double y1, double x2, double y2) const {
  return pieceArea(x1, y1, scaledExp(y1), x2, y2, scaledExp(y2));
}

double ARSSampler::pieceArea(double x1, double y1, double e1, double x2, double y2,
                             double e2) const {
  if (std::fabs(y2 - y1) > areaTolerance) return (x2 - x1) * (e2 - e1) / (y2 - y1);
  return (x2 - x1) * (e1 + e2) * 0.5;
}

void ARSSampler::computeAreas() {
  highestSegment = 0;
  double highest = segments.front().upperLeftY;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const EnvelopeSegment& segment = segments[i];
    if (segment.upperLeftY > highest) {
      highest = segment.upperLeftY;
      highestSegment = i;
    }
    if (segment.upperRightY > highest) {
      highest = segment.upperRightY;
      highestSegment = i;
    }
    // Where a value is not a number the highest depends on the order of the
    // scan: an update after one insertion could not reproduce it.
    if (std::isnan(segment.upperLeftY) || std::isnan(segment.upperRightY)) {
      highestSegment = noIndex;
    }
  }
  if (std::isnan(highest)) highestSegment = noIndex;
  builtHighest = highest;
  scaleOffset = 50 - highest;
  ARS_ASSERT(density != nullptr, "density != NULL", "ars", 703);
  density->logZero = -(scaleOffset + 51);

  segmentEnds.resize(segments.size());
  leftHullValues.resize(segments.size());
  computePieceAreas(0, segments.size());
  firstDescent = segments.size();
  sumAreasFrom(0);
  buildGuide();
}

// Areas and left hull values of segments first to last - 1, at the current
// scaleOffset. Each depends on its own segment only.
void ARSSampler::computePieceAreas(std::size_t first, std::size_t last) {
  // Neighbouring pieces share their end values: each exponential is taken once.
  double previousY = 0.0;
  double previousExp = -1.0;
  for (std::size_t i = first; i < last; ++i) {
    EnvelopeSegment& segment = segments[i];
    const double leftExp = previousExp >= 0 && segment.upperLeftY == previousY
                               ? previousExp
                               : scaledExp(segment.upperLeftY);
    const double rightExp = scaledExp(segment.upperRightY);
    segment.area = pieceArea(segment.upperLeftX, segment.upperLeftY, leftExp,
                             segment.upperRightX, segment.upperRightY, rightExp);
    leftHullValues[i] = leftExp;
    previousY = segment.upperRightY;
    previousExp = rightExp;
  }
}

// The running sum of the areas from segment first on, in the same order as
// from the left, so that every cumulative area and the total come out the
// same as from a complete pass. Segments before first keep theirs.
void ARSSampler::sumAreasFrom(std::size_t first) {
  const std::size_t n = segments.size();
  double sum = first == 0 ? 0.0 : segmentEnds[first - 1];
  for (std::size_t i = first; i < n; ++i) {
    EnvelopeSegment& segment = segments[i];
    segment.cumulativeArea = sum;
    segmentEnds[i] = segment.cumulativeArea + segment.area;
    sum += segment.area;
  }
  totalArea = sum;
  if (firstDescent >= first) {
    firstDescent = n;
    for (std::size_t i = first > 0 ? first : 1; i < n; ++i) {
      if (!(segmentEnds[i] >= segmentEnds[i - 1])) {
        firstDescent = i;
        break;
      }
    }
  }
  segmentEndsAscending = firstDescent == n;
}

// Slice g of the guide covers [g, g + 1) / guideScale; its entry is about
// the first segment whose end lies beyond the slice's start. Any entry would
// do, since chooseCachedSegment walks from it to the exact segment; a close
// one keeps that walk short.
void ARSSampler::buildGuide() {
  const std::size_t n = segments.size();
  const std::size_t slices = 2 * n;
  guide.resize(slices);
  guideScale = totalArea > 0 ? static_cast<double>(slices) / totalArea : 0.0;
  const double lastSlice = static_cast<double>(slices - 1);
  std::size_t g = 0;
  for (std::size_t i = 0; i < n && g < slices; ++i) {
    const double reach = segmentEnds[i] * guideScale;
    if (!(reach >= 0)) continue;
    const std::size_t end = reach < lastSlice ? static_cast<std::size_t>(reach) + 1 : slices;
    if (end > g) {
      std::fill(guide.begin() + static_cast<std::ptrdiff_t>(g),
                guide.begin() + static_cast<std::ptrdiff_t>(end), i);
      g = end;
    }
  }
  std::fill(guide.begin() + static_cast<std::ptrdiff_t>(g), guide.end(), n - 1);
}

bool ARSSampler::insertPoint(double x, double h) { return insertPointAt(x, h) != noIndex; }

std::size_t ARSSampler::insertPointAt(double x, double h) {
  if (points.size() >= maxPoints) return noIndex;
  auto at = std::lower_bound(points.begin(), points.end(), x,
                             [](const HullPoint& p, double value) { return p.x < value; });
  // A repeated abscissa would make a zero-width chord.
  if (at != points.end() && at->x == x) return noIndex;
  at = points.insert(at, HullPoint{x, h});
  ++pointsVersion;
  return static_cast<std::size_t>(at - points.begin());
}

// Compared as a distance in log values rather than as two slopes, so that the
// tolerance does not have to grow as the points close in: the slopes of a-b
// and b-c differ by this distance times (c.x - a.x) / ((b.x - a.x)(c.x - b.x)).
bool ARSSampler::belowChord(const HullPoint& a, const HullPoint& b, const HullPoint& c) {
  return ars::detail::belowChord(a, b, c);
}

bool ARSSampler::violatesLogConcavity() const {
  for (std::size_t j = 1; j + 1 < points.size(); ++j) {
    if (belowChord(points[j - 1], points[j], points[j + 1])) return true;
  }
  return false;
}

bool ARSSampler::violatesLogConcavity(double x, double h) const {
  const std::size_t at = static_cast<std::size_t>(
      std::lower_bound(points.begin(), points.end(), x,
                       [](const HullPoint& p, double value) { return p.x < value; }) -
      points.begin());
  const std::size_t n = points.size() + 1;
  // Point i of the set with (x, h) inserted before index at.
  const auto point = [&](std::size_t i) -> HullPoint {
    if (i < at) return points[i];
    if (i == at) return {x, h};
    return points[i - 1];
  };
  for (std::size_t j = 1; j + 1 < n; ++j) {
    const HullPoint a = point(j - 1), b = point(j), c = point(j + 1);
    if (!(a.x < b.x && b.x < c.x)) continue;  // a repeated abscissa proves nothing
    if (belowChord(a, b, c)) return true;
  }
  return false;
}

// An envelope without a positive, finite area cannot be drawn from. With the
// window program's densities it never happens: their log values are finite
// and the hull's largest value is scaled to e^50.
void ARSSampler::checkArea() const {
  if (totalArea > 0 && totalArea < infinity) return;
  if (violatesLogConcavity()) throw XNotLogConcave();
  badSetting("the envelope has no positive finite area (totalArea " + number(totalArea) +
             "): check lowerLimit, upperLimit and logDensity");
}

bool ARSSampler::envelopeIsCurrent() const {
  return builtVersion == pointsVersion && builtLowerLimit == lowerLimit &&
         builtUpperLimit == upperLimit && builtDensity == density &&
         builtSegmentCount == segments.size() && !segments.empty();
}

// The first segment whose cumulative end exceeds t; the last one when none does.
std::size_t ARSSampler::chooseSegment(double t) const {
  const std::size_t n = segments.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (segments[i].cumulativeArea + segments[i].area > t) return i;
  }
  return n - 1;
}

// The same choice from the ends computed at the build. When they ascend, the
// guide table gives a starting segment and a short walk finds the exact one;
// otherwise a scan from the left.
inline std::size_t ARSSampler::chooseCachedSegment(double t) const {
  const std::size_t n = segmentEnds.size();
  const double* ends = segmentEnds.data();
  std::size_t i = 0;
  if (segmentEndsAscending && !guide.empty()) {
    const double slice = t * guideScale;
    const std::size_t last = guide.size() - 1;
    std::size_t g = 0;
    if (slice >= static_cast<double>(last)) {
      g = last;
    } else if (slice > 0) {
      g = static_cast<std::size_t>(slice);
    }
    i = guide[g];
    while (i > 0 && ends[i - 1] > t) --i;
    // Most slices hold at most one segment end: one step without a branch
    // settles most draws, and the loop below rarely runs.
    i += static_cast<std::size_t>((i + 1 < n) & !(ends[i] > t));
  }
  while (i + 1 < n && !(ends[i] > t)) ++i;
  return i;
}

template <class Source>
ARSSampler::Candidate ARSSampler::drawCandidate(Source& source, bool useCache) {
  ++counts.draws;
  const double t = source.next() * totalArea;
  const double u2 = source.next();  // the acceptance uniform, drawn second
  const std::size_t i = useCache ? chooseCachedSegment(t) : chooseSegment(t);
  const EnvelopeSegment& segment = segments[i];
  const double x0 = segment.upperLeftX;
  const double y0 = segment.upperLeftY;
  const double slope = segment.upperSlope;
  const double start = useCache ? leftHullValues[i] : scaledExp(y0);
  const double c = start + (t - segment.cumulativeArea) * slope;
  // A flat piece is a rectangle: invert it linearly instead of dividing by zero.
  const double x = stableInversion ? stableCandidate(segment, t - segment.cumulativeArea, start, c)
                   : slope != 0    ? (scaledLog(c) - y0) / slope + x0
                                   : (t - segment.cumulativeArea) / start + x0;
  lastX = x;
  lastSegment = i;
  const double height = u2 * c;
  const double logHeight =
      height > 0 ? std::log(height) : std::numeric_limits<double>::quiet_NaN();
  return {i, x, c, u2, logHeight};
}

// scaledLog(uniform2 * hull), the dart's log height.
double ARSSampler::dartLogHeight(const Candidate& candidate) const {
  return candidate.logHeight == candidate.logHeight ? candidate.logHeight - scaleOffset
                                                    : -(scaleOffset + 51);
}

// The inversion written as x0 + log1p(z) / s with z = a s / e0 (a the area
// into the piece, e0 the scaled hull at its left end): no difference of two
// logarithms, so it keeps full precision as the slope goes to 0. Kept inside
// its piece.
double ARSSampler::stableCandidate(const EnvelopeSegment& segment, double areaIn, double start,
                                   double hull) const {
  const double s = segment.upperSlope;
  const double z = areaIn * s / start;
  double x;
  if (!(start > 0)) {  // a piece that starts below the cut-off
    x = (scaledLog(hull) - segment.upperLeftY) / s + segment.upperLeftX;
  } else if (s == 0) {
    x = segment.upperLeftX + areaIn / start;
  } else {
    x = segment.upperLeftX + std::log1p(z) / s;  // z <= -1 only past the end, clamped below
  }
  if (!(x >= segment.upperLeftX)) x = segment.upperLeftX;
  if (!(x <= segment.upperRightX)) x = segment.upperRightX;
  return x;
}

bool ARSSampler::decide(const Candidate& candidate) {
  if (candidate.segment > 0 && candidate.segment + 1 < segments.size()) {
    const EnvelopeSegment& segment = segments[candidate.segment];
    const double squeezeY =
        (candidate.x - segment.squeezeLeftX) * segment.squeezeSlope + segment.squeezeLeftY;
    // scaledExp(squeezeY) / hull >= uniform2, mostly without the exponential.
    if (squeezeHolds(squeezeY + scaleOffset, candidate.hull, candidate.uniform2,
                     candidate.logHeight)) {
      ++counts.squeezeAccepts;
      return true;
    }
  }
  return densityTest(candidate);
}

// The density is evaluated only when the squeeze cannot decide.
bool ARSSampler::densityTest(const Candidate& candidate) {
  const double c = candidate.hull;
  const double u2 = candidate.uniform2;
  const double x = candidate.x;
  // Only a tail candidate can leave the limits, and with the uniforms of UniformRandom
  // (at least 4.6e-10 from 0 and 1) their inversion stays inside the limits by
  // far more than rounding; a candidate outside them, or not a number, is
  // drawn again rather than evaluated where the density may be undefined.
  if (!(x >= lowerLimit && x <= upperLimit)) {
    ++counts.rejections;
    return false;
  }
  const double hx = evaluate(x);
  if (!(hx > -infinity && hx < infinity)) {
    if (hx == -infinity) return zeroDensityAt(x);
    badSetting("logDensity is " + number(hx) + " at x = " + number(x) +
               ", inside the limits of the envelope");
  }
  const double f = scaledExp(hx);
  if (f / c > 1 + hullExcessTolerance) {
    // The density rises above its upper hull. Reported only with proof;
    // otherwise the hull was too low through its own construction (the
    // spread slopes), and the candidate refines it where it was wrong.
    if (violatesLogConcavity(x, hx)) {
      lastLogY = scaledLog(u2 * c);
      throw XNotLogConcave();
    }
    ++counts.rejections;
    ++counts.hullRepairs;
    refine(x, hx);
    return false;
  }
  if (f / c >= u2) {
    ++counts.densityAccepts;
    return true;
  }
  ++counts.rejections;
  refine(x, hx);
  return false;
}

void ARSSampler::refine(double x, double h) {
  const std::size_t inserted = insertPointAt(x, h);
  if (inserted == noIndex) return;
  rebuildAfterInsert(inserted);
  checkArea();
}

// The density is zero at x (logDensity -infinity). A log-concave density is
// positive on an interval: beyond the outer points the limit moves in to x;
// between two points with finite values the density cannot be log-concave.
bool ARSSampler::zeroDensityAt(double x) {
  ++counts.rejections;
  // A zero at the limit itself would move nothing, and the same candidate
  // could come back for ever: the limit moves half-way to the outer point.
  if (x < points.front().x) {
    lowerLimit = x > lowerLimit ? x : x + (points.front().x - x) * 0.5;
  } else if (x > points.back().x) {
    upperLimit = x < upperLimit ? x : x + (points.back().x - x) * 0.5;
  } else {
    lastLogY = scaledLog(0.0);
    throw XNotLogConcave();
  }
  totalArea = 0.0;
  buildEnvelope();
  checkArea();
  return false;
}

bool ARSSampler::step() {
  hasLastDraw = true;
  ARS_ASSERT(prnd != nullptr, "prnd != NULL", "ars", 66);
  return stepWith(*prnd);
}

template <class Source>
bool ARSSampler::stepWith(Source& source) {
  hasLastDraw = true;
  if (segments.empty()) badSetting("step() needs an envelope: call initPoints() and buildEnvelope()");
  checkArea();
  const Candidate candidate = drawCandidate(source, false);
  lastLogY = dartLogHeight(candidate);
  return decide(candidate);
}

// drawCandidate(true) and the squeeze test of decide in one pass over locals:
// true when the squeeze accepts; otherwise the candidate awaits densityTest.
template <class Source>
inline bool ARSSampler::drawSqueezed(Source& source, Candidate& candidate) {
  ++counts.draws;
  const double t = source.next() * totalArea;
  const double u2 = source.next();
  const std::size_t i = chooseCachedSegment(t);
  const EnvelopeSegment& segment = segments[i];
  const double start = leftHullValues[i];
  const double c = start + (t - segment.cumulativeArea) * segment.upperSlope;
  const double height = u2 * c;
  // Both logarithms together, so that little is kept across the calls.
  const double logC = c > 0 ? std::log(c) : 0.0;
  const double logHeight =
      height > 0 ? std::log(height) : std::numeric_limits<double>::quiet_NaN();
  const double offset = scaleOffset;
  const double y0 = segment.upperLeftY;
  const double slope = segment.upperSlope;
  const double scaledLogC = c > 0 ? logC - offset : -(offset + 51);
  const double x = slope != 0 ? (scaledLogC - y0) / slope + segment.upperLeftX
                              : (t - segment.cumulativeArea) / start + segment.upperLeftX;
  lastX = x;
  lastSegment = i;
  if (i != 0 && i + 1 < segments.size() &&
      squeezeHolds((x - segment.squeezeLeftX) * segment.squeezeSlope + segment.squeezeLeftY +
                       offset,
                   c, u2, logHeight)) {
    ++counts.squeezeAccepts;
    candidate.logHeight = logHeight;
    return true;
  }
  candidate = {i, x, c, u2, logHeight};
  return false;
}

double ARSSampler::sample() {
  ARS_ASSERT(prnd != nullptr, "prnd != NULL", "ars", 151);
  return sampleWith(*prnd);
}

template <class Source>
double ARSSampler::sampleWith(Source& source) {
  if (points.size() < 3 || !keepPoints) initPoints();
  if (!envelopeIsCurrent()) {
    totalArea = 0.0;
    buildEnvelope();
    checkArea();
  } else {
    density->logZero = -(scaleOffset + 51);
  }
  for (std::uint64_t steps = 1;; ++steps) {
    // At doublings only: the check reads every point.
    if (steps > patientSteps && (steps & (steps - 1)) == 0) checkProgress(steps);
    hasLastDraw = true;
    Candidate candidate;
    if (stableInversion) {
      candidate = drawCandidate(source, true);
      if (!decide(candidate)) continue;
    } else if (!drawSqueezed(source, candidate) && !densityTest(candidate)) {
      continue;
    }
    lastLogY = dartLogHeight(candidate);
    return lastX;
  }
}

// Called only once one sample() has taken patientSteps steps, which no
// log-concave density with a sound envelope needs: the window program's
// densities never get here. Points that prove the density not log-concave
// are reported; a sampler that still accepts nothing is stopped.
void ARSSampler::checkProgress(std::uint64_t steps) const {
  for (std::size_t j = 1; j + 1 < points.size(); ++j) {
    const HullPoint& a = points[j - 1];
    const HullPoint& b = points[j];
    const HullPoint& c = points[j + 1];
    if (a.x < b.x && b.x < c.x && belowChord(a, b, c)) {
      throw XNotLogConcave("not log-concave: h(" + number(b.x) + ") = " + number(b.h) +
                           " lies below the chord from h(" + number(a.x) + ") = " +
                           number(a.h) + " to h(" + number(c.x) + ") = " + number(c.h));
    }
  }
  if (steps > maxSampleSteps) {
    throw std::runtime_error("sample() took " + std::to_string(steps) +
                             " steps without an acceptance: check the limits and logDensity");
  }
}

template bool ARSSampler::stepWith<UniformRandom>(UniformRandom&);
template bool ARSSampler::stepWith<Mt64Uniform>(Mt64Uniform&);
template double ARSSampler::sampleWith<UniformRandom>(UniformRandom&);
template double ARSSampler::sampleWith<Mt64Uniform>(Mt64Uniform&);
