#pragma once
// FastTable: exact draws under a settled envelope, ziggurat style.
//
// Input. The upper hull of a log-density h as linear pieces in log units
// (HullPiece: log g(x) = y + slope * (x - at) on [left, right]), contiguous
// and ascending; the first piece may start at -infinity (slope > 0), the last
// may end at +infinity (slope < 0). The squeeze is the chord polyline through
// the evaluated points (px, ph), -infinity outside [px.front(), px.back()] and
// on chords with an end where ph is -infinity. h may sit far from 0 (1e9 is
// fine): everything is shifted so that the hull's maximum is 0.
//
// Method. The finite part of the hull is cut into strips, each within one
// hull piece and one chord. Strip j holds a box [xl, xr] x [0, m_j], m_j
// below the squeeze and the hull over the whole strip (rounded down by a
// margin that covers rounding of the inputs), and a cap between m_j and the
// hull. The hat area is split into boxes, caps and the two unbounded tails,
// and Walker's alias table over them has 2^k equally likely slots. One
// 64-bit random number does all of a box draw: its top k bits pick the slot,
// the low 64 - k bits decide between the slot's two parts and give the
// place in x, since every slot covers its own stretch of a box. x lies on a
// grid of about 2^50 points per box, finer than the doubles there for any
// box of reasonable weight. A box draw is accepted at once: no exp, no log,
// no evaluation of h. A cap is sampled by rejection from its bounding
// rectangle and decided by the squeeze; tails are inverted exactly. The
// number of strips adapts (a few hundred to a few thousand) so that the
// boxes hold all of the squeeze area but about 0.4% of the hat; the cost of
// build() is linear in the strips (some 0.2 ms for 900 strips).
//
// Use. build() once per envelope; then draw() per candidate:
//   auto c = table.draw(g);
//   if (c.accepted || c.logY <= h(c.x)) use(c.x); else refine or draw again.
// Candidates are uniform under the hull, so this is exact rejection sampling.
// For an accepted candidate logY is an upper bound of its log height that
// lies on or below the squeeze (the box top for a box draw); for a candidate
// handed back it is the log height itself, in the units of h.
//
// Generators: any UniformRandomBitGenerator. 64-bit ones (pcg64,
// std::mt19937_64) are used directly, 32-bit ones in pairs, others through
// std::uniform_int_distribution.
//
// Throws std::invalid_argument from build() for a malformed envelope (named
// in the message) or one that needs more than maxStrips strips (about
// maxStrips / 2 points), and std::logic_error from draw() before any build().
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "sampler/uniform_source.h"

namespace ars::detail {

// One piece of the upper hull in log units of h: y + slope * (x - at) on [left, right].
struct HullPiece {
  double left, right, at, y, slope;
};

class FastTable {
 public:
  static constexpr std::size_t maxStrips = 16384;

  struct Candidate {
    double x;
    double logY;
    bool accepted;
  };

  // hull: contiguous pieces, ascending. (px, ph): the evaluated points,
  // strictly ascending, inside the hull's range.
  void build(const std::vector<HullPiece>& hull, const std::vector<double>& px,
             const std::vector<double>& ph);

  // A point uniform under the hull (see the top of this header).
  template <class URBG>
  Candidate draw(URBG& g) const;

  double logHatArea() const { return logHatArea_; }
  double logSqueezeArea() const { return logSqueezeArea_; }
  // Share of the hat area in boxes: the chance that a draw is a box draw.
  double boxShare() const { return boxShare_; }
  std::size_t strips() const { return boxCount_; }
  bool built() const { return !slots_.empty(); }

 private:
  // One of 2^k equally likely slots; the low bits r of the random number
  // pick its first part (r < threshold) or its second. A part that is a
  // piece of a box maps r linearly onto x: x = start + v * scale, with v
  // the rank of r within the part.
  struct alignas(64) Slot {
    std::uint64_t threshold;
    std::uint32_t entry[2];  // boxes first, then caps, then the two tails
    double start[2], scale[2];
    double logTop[2];  // of the box, in the units of h
  };
  // Shifted log units throughout: the hull's maximum is 0.
  struct Cap {
    double left, width, right;
    double bottom, height;             // the bounding rectangle: y in [bottom, bottom + height]
    double hullAt, hullY, hullSlope;   // the hull's line
    double squeezeAt, squeezeY, squeezeSlope;  // the squeeze's line, lowered by the margin
  };
  struct Tail {
    double edge, y, slope;  // y: shifted hull at the edge
  };

  template <class URBG>
  Candidate drawCap(std::size_t index, double u, URBG& g) const;
  template <class URBG>
  Candidate drawTail(const Tail& tail, double u, URBG& g) const;

  // build()'s buffers; a copy starts without them.
  struct Scratch;
  struct ScratchDeleter {
    void operator()(Scratch* s) const;
  };
  struct ScratchPtr : std::unique_ptr<Scratch, ScratchDeleter> {
    ScratchPtr() = default;
    ScratchPtr(const ScratchPtr&) : ScratchPtr() {}
    ScratchPtr& operator=(const ScratchPtr&) { return *this; }
    ScratchPtr(ScratchPtr&&) noexcept = default;
    ScratchPtr& operator=(ScratchPtr&&) noexcept = default;
    ~ScratchPtr() = default;
  };

  std::vector<Slot> slots_;
  ScratchPtr scratch_;
  std::size_t boxCount_ = 0;
  std::vector<Cap> caps_;
  Tail tails_[2] = {};
  unsigned shift_ = 0;           // index = bits >> shift_
  std::uint64_t lowMask_ = 0;    // the alias decision's bits
  double offset_ = 0.0;          // the hull's maximum in the units of h
  double logHatArea_ = -INFINITY;
  double logSqueezeArea_ = -INFINITY;
  double boxShare_ = 0.0;
};

template <class URBG>
FastTable::Candidate FastTable::draw(URBG& g) const {
  if (slots_.empty()) throw std::logic_error("FastTable::draw: build() was not called");
  // One random number picks a slot, its part and the place in a box.
  const std::uint64_t bits = generatorBits(g);
  const Slot& slot = slots_[static_cast<std::size_t>(bits >> shift_)];
  const std::uint64_t low = bits & lowMask_;
  const int part = low >= slot.threshold ? 1 : 0;
  const std::uint64_t rank = part ? low - slot.threshold : low;
  const std::size_t entry = slot.entry[part];
  if (entry < boxCount_)
    return {slot.start[part] + static_cast<double>(static_cast<std::int64_t>(rank)) * slot.scale[part],
            slot.logTop[part], true};
  // Caps and tails (rare): fresh numbers.
  const double u = unitFromBits(generatorBits(g));
  const std::size_t cap = entry - boxCount_;
  if (cap < caps_.size()) return drawCap(cap, u, g);
  return drawTail(tails_[cap - caps_.size()], u, g);
}

template <class URBG>
FastTable::Candidate FastTable::drawCap(std::size_t index, double u, URBG& g) const {
  const Cap& cap = caps_[index];
  const auto found = [&](double x, double logY) -> Candidate {
    const bool squeezed = logY <= cap.squeezeY + cap.squeezeSlope * (x - cap.squeezeAt);
    return {x, offset_ + logY, squeezed};
  };
  // From the bounding rectangle first; where the rounding margin made the
  // rectangle far taller than the hull (values far from 0 beside steep
  // slopes), from under the hull's line instead, keeping what lies above the
  // box. Either way the point is uniform on the cap, so the switch after a
  // fixed number of tries keeps the draw exact.
  for (int tries = 0; tries < 32; ++tries) {
    const double x = std::min(cap.left + cap.width * u, cap.right);
    const double logY = std::log(cap.bottom + cap.height * unitFromBits(generatorBits(g)));
    if (logY <= cap.hullY + cap.hullSlope * (x - cap.hullAt)) return found(x, logY);
    u = unitFromBits(generatorBits(g));
  }
  const double logBottom = std::log(cap.bottom);
  const double s = cap.hullSlope;
  // The line's higher end is the anchor of the inversion: exponentials at most 1.
  const bool rising = s > 0;
  const double anchor = rising ? cap.right : cap.left;
  const double rate = std::fabs(s);
  const double reach = rate * cap.width;
  for (;;) {
    const double v = unitFromBits(generatorBits(g));
    // Distance from the anchor with density proportional to exp(-rate d) on [0, width].
    double d = rate > 0 ? -std::log1p(v * std::expm1(-reach)) / rate : v * cap.width;
    if (!(d >= 0)) d = 0;
    if (d > cap.width) d = cap.width;
    const double x = rising ? anchor - d : anchor + d;
    const double logY = cap.hullY + s * (x - cap.hullAt) + std::log(unitFromBits(generatorBits(g)));
    if (logY > logBottom) return found(x, logY);
  }
}

template <class URBG>
FastTable::Candidate FastTable::drawTail(const Tail& tail, double u, URBG& g) const {
  // Inversion of the exponential piece beyond the edge; the squeeze is -inf there.
  const double logU = std::log(u);
  const double x = tail.edge + logU / tail.slope;
  const double logV = std::log(unitFromBits(generatorBits(g)));
  return {x, offset_ + ((tail.y + logU) + logV), false};
}

}  // namespace ars::detail
