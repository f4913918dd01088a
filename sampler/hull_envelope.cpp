#include "sampler/argument_checks.h"
#include "sampler/hull_envelope.h"
#include "sampler/hull_pieces.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "sampler/not_log_concave.h"

namespace ars::detail {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
double slope(const HullPoint& a, const HullPoint& b) { return chordSlope(a, b); }

// Up to this many pieces a draw scans them instead of a guide table.
constexpr std::size_t guideFrom = 12;


// Out of line, so that building a piece stays free of the string work.
[[noreturn]] [[gnu::cold]] [[gnu::noinline]] void throwChordAboveHull(const HullPoint& a,
                                                                     const HullPoint& b) {
  throw NotLogConcave("not log-concave within rounding: the chord from h(" + number(a.x) +
                      ") to h(" + number(b.x) + ") rises above the hull");
}

// The squeeze (the chord a-b, slope m) minus the hull of a piece: at its
// anchor, its slope away from there, at its far end; above: the chord rises
// above the hull by more than rounding allows.
struct ChordGap {
  double gap0, slope, far;
  bool above;
};

ChordGap chordGap(double anchor, double top, double rate, double dir, double width, const HullPoint& a,
                  const HullPoint& b, double m) {
  // The chord at the anchor, from its higher end.
  const double chord = a.h >= b.h ? a.h + m * (anchor - a.x) : b.h - m * (b.x - anchor);
  ChordGap g;
  g.gap0 = chord - top;
  g.slope = m * dir + rate;
  g.far = g.gap0 + g.slope * width;
  const double tolerance = 1e-9 * (1 + std::max({std::fabs(top), std::fabs(a.h), std::fabs(b.h)}));
  g.above = g.gap0 > tolerance || g.far > tolerance;
  return g;
}

}  // namespace

NotLogConcave chordProof(const HullPoint& a, const HullPoint& b, const HullPoint& c) {
  return NotLogConcave("not log-concave: h(" + number(b.x) + ") = " + number(b.h) +
                           " lies below the chord from h(" + number(a.x) + ") = " + number(a.h) +
                           " to h(" + number(c.x) + ") = " + number(c.h),
                       {a.x, a.h}, {b.x, b.h}, {c.x, c.h});
}

void HullEnvelope::build(const std::vector<HullPoint>& points, double lower, double upper) {
  if (&points != &points_) {
    // Room for the points that draws add, so that a one-draw sampler
    // allocates once.
    if (points_.capacity() < points.size() + 4) points_.reserve(2 * points.size() + 8);
    points_.assign(points.begin(), points.end());
  }
  lower_ = lower;
  upper_ = upper;
  ++version_;
  dirty_ = false;
  const std::size_t k = points_.size();
  if (k < 3) throw std::logic_error("an envelope needs three points");
  for (std::size_t j = 1; j + 1 < k; ++j) {
    if (belowChord(points_[j - 1], points_[j], points_[j + 1])) {
      throw NotLogConcave(chordProof(points_[j - 1], points_[j], points_[j + 1]));
    }
  }
  segments_.clear();
  // At most two pieces an interval and two tails;
  // room for a few more points, so that inserting them rebuilds without
  // allocating.
  if (segments_.capacity() < 2 * k + 2) segments_.reserve(4 * k + 16);
  highest_ = -inf;  // push() keeps the highest top
  if (k == 3) {
    buildThree();
  } else {
    addLeftTail();
    for (std::size_t i = 0; i + 1 < k; ++i) addInterval(i);
    addRightTail();
  }
  finish();
}

// A piece from left to right whose hull is highest at anchor (one of its
// ends) with value top, and falls by rate per unit away from it. This and
// the pieces' helpers are inlined into build(): calls cost a one-draw
// sampler more than their arithmetic.
[[gnu::always_inline]] inline void HullEnvelope::push(double left, double right, double anchor, double top, double rate,
                        const HullPoint* a, const HullPoint* b, double m) {
  // Filled in place: a copy of the finished piece stalls on its own stores.
  HullSegment& s = segments_.emplace_back();
  if (top > highest_) highest_ = top;
  s.left = left;
  s.right = right;
  s.anchor = anchor;
  s.top = top;
  s.rate = rate;
  s.dir = anchor == left ? 1.0 : -1.0;
  const double width = right - left;
  s.width = width > 0 ? width : 0.0;
  s.gap0 = -inf;
  s.gapSlope = 0.0;
  s.acceptBound = 0.0;
  if (a != nullptr) {
    const ChordGap gap = chordGap(anchor, top, rate, s.dir, s.width, *a, *b, m);
    if (gap.above) {
      segments_.pop_back();
      throwChordAboveHull(*a, *b);
    }
    s.gap0 = std::min(gap.gap0, 0.0);
    s.gapSlope = gap.slope;
    s.acceptBound = belowExp(std::min({s.gap0, gap.far, 0.0})) * (1 - 1e-12);
  }
}



// Widened by rounding like the interval's secants: their values outwards only rise.
[[gnu::always_inline]] inline bool HullEnvelope::leftTail(Piece& piece) const {
  const double s = slope(points_[0], points_[1]) - chordSlopeNoise(points_[0], points_[1]);
  return lowerTail(points_[0], s, lower_, piece);
}

[[gnu::always_inline]] inline bool HullEnvelope::rightTail(Piece& piece) const {
  const HullPoint& p = points_.back();
  const double s = slope(points_[points_.size() - 2], p) + chordSlopeNoise(points_[points_.size() - 2], p);
  return upperTail(p, s, upper_, piece);
}

[[gnu::always_inline]] inline void HullEnvelope::addLeftTail() {
  Piece t;
  if (leftTail(t)) push(t.left, t.right, t.anchor, t.top, t.rate, nullptr, nullptr);
}

[[gnu::always_inline]] inline void HullEnvelope::addRightTail() {
  Piece t;
  if (rightTail(t)) push(t.left, t.right, t.anchor, t.top, t.rate, nullptr, nullptr);
}

// Between points i and i + 1 the hull is the lower of the secant from the left
// (through i - 1 and i) and the one from the right (through i + 1 and i + 2),
// each extended into the interval; at the first and last interval only one
// of them exists.
// Inlined into both callers: a build calls it for every interval.
[[gnu::always_inline]] inline std::size_t HullEnvelope::intervalPieces(std::size_t i, Piece (&out)[2], double& m) const {
  const std::size_t k = points_.size();
  const HullPoint& a = points_[i];
  const HullPoint& b = points_[i + 1];
  const double w = b.x - a.x;
  m = slope(a, b);
  const bool hasLeft = i >= 1;
  const bool hasRight = i + 2 < k;
  // Concavity gives d >= m >= g; clamping keeps the hull above the chord
  // where rounding (or the tolerance of belowChord) says otherwise. Each
  // secant is widened by what rounding can do to its slope.
  const double d =
      hasLeft ? std::max(slope(points_[i - 1], a) + chordSlopeNoise(points_[i - 1], a), m) : m;
  const double g =
      hasRight ? std::min(slope(b, points_[i + 2]) - chordSlopeNoise(b, points_[i + 2]), m) : m;

  if (hasLeft && hasRight) {
    if (!(d > g)) {  // both secants are the chord
      if (m <= 0) {
        out[0] = {a.x, b.x, a.x, a.h, -m};
      } else {
        out[0] = {a.x, b.x, b.x, b.h, m};
      }
      return 1;
    }
    const double lambda = std::min(1.0, std::max(0.0, (m - g) / (d - g)));
    const double xc = lambda <= 0.5 ? a.x + lambda * w : b.x - (1 - lambda) * w;
    // The crossing's value from each end; the higher one, raised by rounding.
    const double riseA = d * (xc - a.x);
    const double riseB = g * (xc - b.x);
    const double ya = a.h + riseA;
    const double yb = b.h + riseB;
    double y = std::max(ya, yb);
    y += roundingMargin * (ya >= yb ? std::fabs(a.h) + std::fabs(riseA)
                                    : std::fabs(b.h) + std::fabs(riseB));
    if (d >= 0) {
      out[0] = {a.x, xc, xc, y, d};
    } else {
      out[0] = {a.x, xc, a.x, a.h, -d};
    }
    if (g <= 0) {
      out[1] = {xc, b.x, xc, y, -g};
    } else {
      out[1] = {xc, b.x, b.x, b.h, g};
    }
    return 2;
  }
  out[0] = hasRight ? firstInterval(a, b, g) : lastInterval(a, b, d);
  return 1;
}

// The first interval: the secant from the right (slope g), extended left.

// The last interval: the secant from the left (slope d), extended right.

// Three points, the first hull of almost every start search, in closed form:
// the pieces the loop of build() makes, from the same expressions (so to the
// bit), with each chord's slope and rounding computed once and the points
// held apart from the pieces being written.
void HullEnvelope::buildThree() {
  const HullPoint a = points_[0], b = points_[1], c = points_[2];
  const double ab = slope(a, b), abNoise = chordSlopeNoise(a, b);
  const double bc = slope(b, c), bcNoise = chordSlopeNoise(b, c);
  Piece p;
  if (lowerTail(a, ab - abNoise, lower_, p)) push(p.left, p.right, p.anchor, p.top, p.rate, nullptr, nullptr);
  p = firstInterval(a, b, std::min(bc - bcNoise, ab));
  push(p.left, p.right, p.anchor, p.top, p.rate, &a, &b, ab);
  p = lastInterval(b, c, std::max(ab + abNoise, bc));
  push(p.left, p.right, p.anchor, p.top, p.rate, &b, &c, bc);
  if (upperTail(c, bc + bcNoise, upper_, p)) push(p.left, p.right, p.anchor, p.top, p.rate, nullptr, nullptr);
}

[[gnu::always_inline]] inline void HullEnvelope::addInterval(std::size_t i) {
  Piece pieces[2];
  double m = 0.0;
  const std::size_t n = intervalPieces(i, pieces, m);
  for (std::size_t j = 0; j < n; ++j) {
    const Piece& p = pieces[j];
    push(p.left, p.right, p.anchor, p.top, p.rate, &points_[i], &points_[i + 1], m);
  }
}

void HullEnvelope::finish() {
  const std::size_t n = segments_.size();
  double sum = 0.0;
  // Neighbouring pieces often share their top (a crossing, or a point):
  // one exponential serves both.
  double lastTop = std::numeric_limits<double>::quiet_NaN(), lastExp = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    HullSegment& s = segments_[i];
    if (s.top != lastTop) {
      lastTop = s.top;
      // exp(0) is exactly 1: the highest piece needs no call.
      lastExp = s.top == highest_ ? 1.0 : std::exp(s.top - highest_);
    }
    s.expTop = lastExp;
    if (std::isinf(s.width)) {
      s.area = s.expTop / s.rate;
    } else {
      s.area = s.expTop * s.width * fallingMean(s.rate * s.width);
    }
    sum += s.area;
    s.end = sum;
  }
  total_ = sum;
  if (!(total_ > 0 && total_ < inf)) {
    throw std::invalid_argument("the envelope has no positive finite area (" + number(total_) +
                                "): check the support and logDensity");
  }
  // Guide table: slice g of [0, total) starts at or after the piece guide_[g].
  // A few pieces are scanned as fast as the table is built.
  if (n <= guideFrom) {
    guide_.clear();
    return;
  }
  const std::size_t slices = 2 * n;
  guide_.assign(slices, 0);
  guideScale_ = static_cast<double>(slices) / total_;
  std::size_t j = 0;
  for (std::size_t g = 0; g < slices; ++g) {
    const double start = static_cast<double>(g) / guideScale_;
    while (j + 1 < n && !(segments_[j].end > start)) ++j;
    guide_[g] = j;
  }
}

std::size_t HullEnvelope::choose(double t) const {
  const std::size_t n = segments_.size();
  if (guide_.empty()) {
    std::size_t i = 0;
    while (i + 1 < n && !(segments_[i].end > t)) ++i;
    return i;
  }
  double slice = t * guideScale_;
  std::size_t g = slice > 0 ? static_cast<std::size_t>(slice) : 0;
  if (g >= guide_.size()) g = guide_.size() - 1;
  std::size_t i = guide_[g];
  while (i + 1 < n && !(segments_[i].end > t)) ++i;
  return i;
}

double HullEnvelope::invert(std::size_t i, double r) const {
  const HullSegment& s = segments_[i];
  if (!(s.expTop > 0)) return 0.0;
  double d;
  if (s.rate > 0) {
    double q = r * s.rate / s.expTop;
    if (q > 1 - 0x1p-53) q = 1 - 0x1p-53;
    d = -std::log1p(-q) / s.rate;
  } else {
    d = r / s.expTop;
  }
  if (!(d >= 0)) d = 0;
  if (d > s.width) d = s.width;
  return d;
}

double HullEnvelope::hullAt(double x) const {
  for (const HullSegment& s : segments_) {
    if (x >= s.left && x <= s.right) return s.top - s.rate * std::fabs(x - s.anchor);
  }
  return -inf;
}

double HullEnvelope::hullNow(double x) {
  if (!dirty_) return hullAt(x);
  // Only the pieces around x, computed as a build would and checked as it
  // checks them, none of them stored.
  Piece pieces[2];
  std::size_t n = 0;
  if (x < points_.front().x) {
    n = leftTail(pieces[0]) ? 1 : 0;
  } else if (x >= points_.back().x) {
    n = rightTail(pieces[0]) ? 1 : 0;
  } else {
    const auto at = std::upper_bound(points_.begin(), points_.end(), x,
                                     [](double v, const HullPoint& p) { return v < p.x; });
    const std::size_t i = static_cast<std::size_t>(at - points_.begin()) - 1;
    double m = 0.0;
    n = intervalPieces(i, pieces, m);
    for (std::size_t j = 0; j < n; ++j) {
      const Piece& p = pieces[j];
      const double width = p.right - p.left;
      const double dir = p.anchor == p.left ? 1.0 : -1.0;
      if (chordGap(p.anchor, p.top, p.rate, dir, width > 0 ? width : 0.0, points_[i], points_[i + 1], m).above) {
        throwChordAboveHull(points_[i], points_[i + 1]);
      }
    }
  }
  for (std::size_t j = 0; j < n; ++j) {
    const Piece& p = pieces[j];
    if (x >= p.left && x <= p.right) return p.top - p.rate * std::fabs(x - p.anchor);
  }
  return -inf;
}

bool HullEnvelope::underSqueeze(double x, double logY) const {
  const auto at = std::upper_bound(points_.begin(), points_.end(), x,
                                   [](double v, const HullPoint& p) { return v < p.x; });
  if (at == points_.begin() || at == points_.end()) return false;
  const HullPoint& a = *(at - 1);
  const HullPoint& b = *at;
  // From the higher end, like the envelope's own squeeze.
  const double chord = a.h >= b.h ? a.h + (b.h - a.h) * ((x - a.x) / (b.x - a.x))
                                  : b.h - (b.h - a.h) * ((b.x - x) / (b.x - a.x));
  return logY <= chord;
}

double HullEnvelope::logHatArea() const { return highest_ + std::log(total_); }
// Computed when asked: draws need only the pieces' own squeeze terms, and a
// one-draw sampler would pay for the sum at every rebuild.
double HullEnvelope::squeezeTotal() const {
  double squeeze = 0.0;
  for (std::size_t i = 0; i + 1 < points_.size(); ++i) {
    const HullPoint& a = points_[i];
    const HullPoint& b = points_[i + 1];
    squeeze += std::exp(std::max(a.h, b.h) - highest_) * (b.x - a.x) *
               fallingMean(std::fabs(b.h - a.h));
  }
  return squeeze;
}

// Lower bounds of the intervals' squeeze areas, without a call to libm:
// e^g >= its cubic (the rest of the series is g^4 e^t / 24 >= 0) and
// (1 - e^-z) / z >= 1 / (1 + z) (as e^z >= 1 + z). Where their sum reaches
// the share with room for the rounding of both sums, the exact sum does
// too; a start search asks at almost every update, and the squeeze of a few
// points holds far more than it asks.
bool HullEnvelope::squeezeSurelyHolds(std::size_t top, double wanted) const {
  const std::size_t k = points_.size();
  const auto bound = [&](std::size_t i) {
    const HullPoint& a = points_[i];
    const HullPoint& b = points_[i + 1];
    return belowExp(std::max(a.h, b.h) - highest_) * (b.x - a.x) / (1 + std::fabs(b.h - a.h));
  };
  double sum = 0.0;
  std::size_t left = top, right = top;
  while (left > 0 || right + 1 < k) {
    if (right + 1 < k) sum += bound(right++);
    if (left > 0) sum += bound(--left);
    if (sum * (1 - 1e-9) >= wanted) return true;
  }
  return false;
}

// The intervals next to the highest point first: they hold most of the
// squeeze, and the sum stops once it reaches the share.
bool HullEnvelope::squeezeHolds(double share) const {
  const std::size_t k = points_.size();
  if (k < 2) return false;
  std::size_t top = 0;
  for (std::size_t i = 1; i < k; ++i) {
    if (points_[i].h > points_[top].h) top = i;
  }
  const double wanted = share * total_;
  if (squeezeSurelyHolds(top, wanted)) return true;
  const auto piece = [&](std::size_t i) {
    const HullPoint& a = points_[i];
    const HullPoint& b = points_[i + 1];
    return std::exp(std::max(a.h, b.h) - highest_) * (b.x - a.x) * fallingMean(std::fabs(b.h - a.h));
  };
  double squeeze = 0.0;
  std::size_t left = top, right = top;  // intervals [left, right) summed
  while (left > 0 || right + 1 < k) {
    if (right + 1 < k) squeeze += piece(right++);
    if (squeeze >= wanted) return true;
    if (left > 0) squeeze += piece(--left);
    if (squeeze >= wanted) return true;
  }
  return false;
}

double HullEnvelope::logSqueezeArea() const { return highest_ + std::log(squeezeTotal()); }

bool HullEnvelope::insert(double x, double h) {
  const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                   [](const HullPoint& p, double v) { return p.x < v; });
  if (at != points_.end() && at->x == x) return false;
  if (!finiteSlopes(points_, at, x, h)) return false;
  const auto inserted = points_.insert(at, HullPoint{x, h});
  try {
    build(points_, lower_, upper_);
  } catch (...) {
    // The envelope stays as it was: a caller that goes on after the report
    // draws from it.
    points_.erase(inserted);
    build(points_, lower_, upper_);
    throw;
  }
  return true;
}

bool HullEnvelope::add(double x, double h) {
  const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                   [](const HullPoint& p, double v) { return p.x < v; });
  if (at != points_.end() && at->x == x) return false;
  if (!finiteSlopes(points_, at, x, h)) return false;
  const std::size_t i = static_cast<std::size_t>(at - points_.begin());
  HullPoint proof[3];
  if (!concaveAround(points_, i, HullPoint{x, h}, proof)) throw chordProof(proof[0], proof[1], proof[2]);
  points_.insert(points_.begin() + static_cast<std::ptrdiff_t>(i), HullPoint{x, h});
  dirty_ = true;
  return true;
}

void HullEnvelope::cut(double x) {
  double lower = lower_, upper = upper_;
  if (x < points_.front().x && x > lower) lower = x;
  if (x > points_.back().x && x < upper) upper = x;
  build(points_, lower, upper);
}

void HullEnvelope::swap(HullEnvelope& other) noexcept {
  points_.swap(other.points_);
  segments_.swap(other.segments_);
  guide_.swap(other.guide_);
  std::swap(guideScale_, other.guideScale_);
  std::swap(lower_, other.lower_);
  std::swap(upper_, other.upper_);
  std::swap(highest_, other.highest_);
  std::swap(total_, other.total_);
  std::swap(dirty_, other.dirty_);
  const std::size_t newest = std::max(version_, other.version_);
  version_ = newest + 1;
  other.version_ = newest + 2;
}

}  // namespace ars::detail
