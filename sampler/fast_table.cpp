#include "sampler/fast_table.h"

#include <string>
#include <utility>

namespace ars::detail {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double eps = std::numeric_limits<double>::epsilon();

// Share of the hat that the strips' box tops may leave to the caps beyond
// the gap between hull and squeeze.
constexpr double stripLoss = 0.004;
// Caps are sampled from their bounding rectangles: a hull that rises by at
// most this much over a strip keeps that rejection cheap.
constexpr double maxHullRise = 2.0;

void fail(const std::string& what) { throw std::invalid_argument("FastTable::build: " + what); }

// Integral of exp over [0, w] of the line from a to b (shifted log units).
double expIntegral(double a, double b, double w) {
  const double top = std::max(a, b);
  if (top == -inf) return 0.0;
  const double fall = std::min(a, b) - top;  // <= 0
  const double factor = fall > -1e-12 ? 1.0 + 0.5 * fall : -std::expm1(fall) / -fall;
  return std::exp(top) * w * factor;
}

// The linear pieces that cover one stretch between breakpoints: the hull's
// line and the squeeze's chord (squeezeY = -inf where there is none), both
// shifted, with the margin that rounding of the inputs can reach.
struct Line {
  double at, y, slope;
  double operator()(double x) const { return slope == 0 ? y : y + slope * (x - at); }
};

struct BoxPlace {
  double left, width, right, logTop;
};

struct Stretch {
  double a, b;
  Line hull, squeeze;
  double margin;
  std::size_t strips;
};

// Strips a stretch needs whatever its squeeze: the hull may rise by at most
// maxHullRise over one.
std::size_t baseStrips(const Stretch& s) {
  const double rise = std::fabs(s.hull(s.b) - s.hull(s.a));
  return static_cast<std::size_t>(std::max(1.0, std::min(std::ceil(rise / maxHullRise), 64.0)));
}

void checkInput(const std::vector<HullPiece>& hull, const std::vector<double>& px,
                const std::vector<double>& ph) {
  if (hull.empty()) fail("the hull has no pieces");
  for (std::size_t i = 0; i < hull.size(); ++i) {
    const HullPiece& p = hull[i];
    const auto name = [i] { return "hull piece " + std::to_string(i); };
    if (std::isnan(p.left) || std::isnan(p.right) || !(p.left <= p.right))
      fail(name() + " has left above right or NaN ends");
    if (!std::isfinite(p.at) || !std::isfinite(p.y) || !std::isfinite(p.slope))
      fail(name() + " has a non-finite at, y or slope");
    if (p.left == -inf && (i != 0 || !(p.slope > 0)))
      fail(name() + " is unbounded on the left but not the first piece with slope > 0");
    if (p.right == inf && (i + 1 != hull.size() || !(p.slope < 0)))
      fail(name() + " is unbounded on the right but not the last piece with slope < 0");
    if (p.left == inf || p.right == -inf) fail(name() + " lies at infinity");
    if (i > 0 && hull[i - 1].right != p.left)
      fail(name() + " does not start where piece " + std::to_string(i - 1) + " ends");
  }
  if (hull.front().left == -inf && hull.back().right == inf && hull.size() == 1)
    fail("a single piece on the whole line");
  if (px.size() != ph.size()) fail("px and ph differ in size");
  for (std::size_t i = 0; i < px.size(); ++i) {
    if (!std::isfinite(px[i])) fail("px[" + std::to_string(i) + "] is not finite");
    if (std::isnan(ph[i]) || ph[i] == inf) fail("ph[" + std::to_string(i) + "] is NaN or +inf");
    if (i > 0 && !(px[i - 1] < px[i])) fail("px is not strictly ascending at " + std::to_string(i));
  }
  if (!px.empty() && (px.front() < hull.front().left || px.back() > hull.back().right))
    fail("the points lie outside the hull");
}

// One slot of Walker's alias table: its first part keeps `keep` of the slot
// for entry[0], the second the rest for entry[1]; each part covers the share
// [from, to] of its entry's own probability.
struct AliasSlot {
  double keep = 0.0;
  std::uint32_t entry[2] = {0, 0};
  double from[2] = {0.0, 0.0}, to[2] = {0.0, 0.0};
};

struct AliasWork {
  std::vector<double> mass, left, used;
  std::vector<AliasSlot> slots;
  std::vector<std::uint32_t> small, large;
};

// The table over `weights` in `size` slots, Vose's way, recording which
// share of every entry each slot covers so that boxes can be laid out in x.
// Into work.slots; work's buffers keep their room for the next build.
void aliasTable(const std::vector<double>& weights, std::size_t size, AliasWork& work) {
  double total = 0;
  std::uint32_t heaviest = 0;
  for (std::size_t i = 0; i < weights.size(); ++i) {
    total += weights[i];
    if (weights[i] > weights[heaviest]) heaviest = static_cast<std::uint32_t>(i);
  }
  std::vector<double>& mass = work.mass;
  std::vector<double>& left = work.left;
  std::vector<double>& used = work.used;
  mass.assign(size, 0.0);
  left.assign(size, 0.0);
  used.assign(size, 0.0);
  for (std::size_t i = 0; i < weights.size(); ++i) mass[i] = left[i] = weights[i] / total * size;
  const auto take = [&](AliasSlot& slot, int part, std::uint32_t e, double amount) {
    slot.entry[part] = e;
    slot.from[part] = mass[e] > 0 ? used[e] / mass[e] : 0.0;
    used[e] += amount;
    slot.to[part] = mass[e] > 0 ? std::min(1.0, used[e] / mass[e]) : 0.0;
  };
  std::vector<AliasSlot>& slots = work.slots;
  slots.assign(size, AliasSlot{});
  std::vector<std::uint32_t>& small = work.small;
  std::vector<std::uint32_t>& large = work.large;
  small.clear();
  large.clear();
  for (std::size_t i = 0; i < size; ++i)
    (left[i] < 1.0 ? small : large).push_back(static_cast<std::uint32_t>(i));
  while (!small.empty() && !large.empty()) {
    const std::uint32_t s = small.back(), l = large.back();
    small.pop_back();
    AliasSlot& slot = slots[s];
    slot.keep = left[s];
    take(slot, 0, s, left[s]);
    take(slot, 1, l, 1.0 - left[s]);
    left[l] = (left[l] + left[s]) - 1.0;
    if (left[l] < 1.0) {
      large.pop_back();
      small.push_back(l);
    }
  }
  // What is left holds a full slot up to rounding, and to the end of its
  // entry; an empty entry (padding, a bounded tail, a box under no squeeze)
  // never keeps a slot.
  for (const auto* rest : {&large, &small}) {
    for (std::uint32_t i : *rest) {
      AliasSlot& slot = slots[i];
      const bool full = i < weights.size() && weights[i] > 0;
      slot.keep = full ? 1.0 : 0.0;
      take(slot, 0, i, left[i]);
      slot.to[0] = 1.0;
      take(slot, 1, full ? i : heaviest, 0.0);
      if (!full) slot.from[1] = 0.0, slot.to[1] = 1.0;
    }
  }
}

}  // namespace

// build()'s working space, kept between builds: a sampler rebuilds its table
// hundreds of times while it adapts, and blocks of this size are fresh pages
// from the system each time where the allocator hands them back at once (as
// Dask's workers set glibc's malloc up to do).
struct FastTable::Scratch {
  std::vector<double> cuts, roots, boxWeights, capWeights, weights;
  std::vector<Stretch> stretches;
  std::vector<BoxPlace> boxes;
  AliasWork alias;
};

void FastTable::ScratchDeleter::operator()(Scratch* s) const { delete s; }

void FastTable::build(const std::vector<HullPiece>& hull, const std::vector<double>& px,
                      const std::vector<double>& ph) {
  checkInput(hull, px, ph);
  if (!scratch_) scratch_.reset(new Scratch);
  Scratch& work = *scratch_;
  slots_.clear();
  caps_.clear();
  boxCount_ = 0;

  // The shift: the hull's maximum over the finite ends of its pieces.
  double offset = -inf;
  for (const HullPiece& p : hull) {
    for (double end : {p.left, p.right})
      if (std::isfinite(end)) offset = std::max(offset, p.y + p.slope * (end - p.at));
  }
  if (!std::isfinite(offset)) fail("the hull has no finite value at a finite end");
  offset_ = offset;
  const auto shiftedLine = [&](const HullPiece& p) { return Line{p.at, p.y - offset, p.slope}; };

  // The finite part [low, high]; beyond it only the outer pieces' lines.
  const bool hasSqueeze = px.size() >= 2;
  double low = hull.front().left, high = hull.back().right;
  if (low == -inf) low = px.empty() ? hull.front().right : std::min(hull.front().right, px.front());
  if (high == inf) high = px.empty() ? hull.back().left : std::max(hull.back().left, px.back());
  if (!(low < high)) fail("the hull's finite part is empty");

  // Breakpoints: piece ends and points inside (low, high).
  std::vector<double>& cuts = work.cuts;
  cuts.assign({low, high});
  for (const HullPiece& p : hull)
    for (double end : {p.left, p.right})
      if (end > low && end < high) cuts.push_back(end);
  for (double x : px)
    if (x > low && x < high) cuts.push_back(x);
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

  const double inputScale = std::fabs(offset) + 1.0;
  std::vector<Stretch>& stretches = work.stretches;
  stretches.clear();
  std::size_t piece = 0, chord = 0;
  double squeezeArea = 0.0;
  for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
    Stretch s{};
    s.a = cuts[k];
    s.b = cuts[k + 1];
    while (piece + 1 < hull.size() && hull[piece].right <= s.a) ++piece;
    s.hull = shiftedLine(hull[piece]);
    s.squeeze = Line{s.a, -inf, 0.0};
    if (hasSqueeze && s.a >= px.front() && s.b <= px.back()) {
      while (px[chord + 1] <= s.a) ++chord;
      const double slope = (ph[chord + 1] - ph[chord]) / (px[chord + 1] - px[chord]);
      if (std::isfinite(ph[chord]) && std::isfinite(ph[chord + 1]) && std::isfinite(slope))
        s.squeeze = Line{px[chord], ph[chord] - offset, slope};
    }
    const double ha = s.hull(s.a), hb = s.hull(s.b), sa = s.squeeze(s.a), sb = s.squeeze(s.b);
    const double sizes = std::max({std::fabs(ha), std::fabs(hb), std::isfinite(sa) ? std::fabs(sa) : 0.0,
                                   std::isfinite(sb) ? std::fabs(sb) : 0.0,
                                   std::fabs(s.hull.slope * (s.b - s.hull.at)),
                                   std::fabs(s.squeeze.slope * (s.b - s.squeeze.at))});
    s.margin = 16 * eps * (inputScale + sizes);
    squeezeArea += expIntegral(sa, sb, s.b - s.a);
    stretches.push_back(s);
  }

  // Strips per stretch: a box in a strip of width d under a squeeze of log
  // slope r loses about f r d^2 / 2 to its cap, so n_i strips in a stretch of
  // squeeze area F_i and log rise D_i lose F_i D_i / (2 n_i); n_i in
  // proportion to sqrt(F_i D_i) meets a total loss with the fewest strips.
  double hatEstimate = 0.0, rootSum = 0.0;
  std::vector<double>& roots = work.roots;
  roots.assign(stretches.size(), 0.0);
  std::size_t baseCount = 0;
  for (std::size_t i = 0; i < stretches.size(); ++i) {
    Stretch& s = stretches[i];
    const double w = s.b - s.a;
    const double ha = s.hull(s.a), hb = s.hull(s.b), sa = s.squeeze(s.a), sb = s.squeeze(s.b);
    hatEstimate += expIntegral(ha, hb, w);
    const double rise = std::isfinite(sa) && std::isfinite(sb) ? std::fabs(sb - sa) : 0.0;
    roots[i] = std::sqrt(expIntegral(sa, sb, w) * rise);
    rootSum += roots[i];
    s.strips = baseStrips(s);
    baseCount += s.strips;
  }
  if (baseCount > maxStrips) fail("too many pieces and points (" + std::to_string(stretches.size()) + " stretches)");
  if (rootSum > 0 && hatEstimate > 0) {
    double scale = rootSum / (2 * stripLoss * hatEstimate);
    const double budget = static_cast<double>(maxStrips - baseCount);
    if (scale * rootSum > budget) scale = budget / rootSum;
    std::size_t total = 0;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
      const auto want = static_cast<std::size_t>(std::ceil(scale * roots[i]));
      stretches[i].strips = std::max(stretches[i].strips, want);
      total += stretches[i].strips;
    }
    if (total > maxStrips) {  // the ceilings' excess: round down instead
      for (std::size_t i = 0; i < stretches.size(); ++i) {
        stretches[i].strips =
            std::max(baseStrips(stretches[i]), static_cast<std::size_t>(std::floor(scale * roots[i])));
      }
    }
  }

  // Boxes and caps.
  std::vector<BoxPlace>& boxes = work.boxes;
  std::vector<double>& boxWeights = work.boxWeights;
  std::vector<double>& capWeights = work.capWeights;
  boxes.clear();
  boxWeights.clear();
  capWeights.clear();
  for (const Stretch& s : stretches) {
    const double w = s.b - s.a;
    for (std::size_t j = 0; j < s.strips; ++j) {
      const double xl = j == 0 ? s.a : s.a + w * static_cast<double>(j) / static_cast<double>(s.strips);
      const double xr = j + 1 == s.strips ? s.b : s.a + w * static_cast<double>(j + 1) / static_cast<double>(s.strips);
      if (!(xl < xr)) continue;
      const double hl = s.hull(xl), hr = s.hull(xr), sl = s.squeeze(xl), sr = s.squeeze(xr);
      const double logTop = std::min({sl, sr, hl, hr}) - s.margin;
      const double top = std::exp(logTop);
      const double boxArea = top * (xr - xl);
      const double capArea = std::max(0.0, expIntegral(hl, hr, xr - xl) - boxArea);
      boxes.push_back(BoxPlace{xl, xr - xl, xr, logTop + offset});
      const double ceiling = std::exp(std::max(hl, hr) + s.margin);
      caps_.push_back(Cap{xl, xr - xl, xr, top, ceiling - top, s.hull.at, s.hull.y, s.hull.slope,
                          s.squeeze.at, s.squeeze.y - s.margin, s.squeeze.slope});
      boxWeights.push_back(boxArea);
      capWeights.push_back(capArea);
    }
  }

  // Tails beyond the finite part, on the outer pieces' lines.
  tails_[0] = Tail{low, shiftedLine(hull.front())(low), hull.front().slope};
  tails_[1] = Tail{high, shiftedLine(hull.back())(high), hull.back().slope};
  const double leftTail = hull.front().left == -inf ? std::exp(tails_[0].y) / tails_[0].slope : 0.0;
  const double rightTail = hull.back().right == inf ? std::exp(tails_[1].y) / -tails_[1].slope : 0.0;

  std::vector<double>& weights = work.weights;
  weights.assign(boxWeights.begin(), boxWeights.end());
  weights.insert(weights.end(), capWeights.begin(), capWeights.end());
  weights.push_back(leftTail);
  weights.push_back(rightTail);
  double boxTotal = 0.0, total = 0.0;
  for (double w : boxWeights) boxTotal += w;
  for (double w : weights) total += w;
  if (!(total > 0) || !std::isfinite(total)) fail("the hat area is not positive and finite");

  unsigned indexBits = 1;
  while ((std::size_t{1} << indexBits) < weights.size()) ++indexBits;
  const std::size_t size = std::size_t{1} << indexBits;
  shift_ = 64 - indexBits;
  lowMask_ = (std::uint64_t{1} << shift_) - 1;
  aliasTable(weights, size, work.alias);
  const std::vector<AliasSlot>& table = work.alias.slots;
  const double span = std::ldexp(1.0, static_cast<int>(shift_));
  slots_.assign(size, Slot{});
  for (std::size_t i = 0; i < size; ++i) {
    const AliasSlot& from = table[i];
    Slot& slot = slots_[i];
    slot.threshold = from.keep >= 1.0 ? lowMask_ + 1 : static_cast<std::uint64_t>(from.keep * span);
    const std::uint64_t counts[2] = {slot.threshold, lowMask_ + 1 - slot.threshold};
    for (int part = 0; part < 2; ++part) {
      const std::uint32_t e = from.entry[part];
      slot.entry[part] = e;
      slot.start[part] = slot.scale[part] = 0.0;
      slot.logTop[part] = -inf;
      if (e >= boxes.size() || counts[part] == 0) continue;
      // Ranks 0 .. count - 1 spread over this slot's stretch of the box,
      // the last one never beyond the box's right end.
      const BoxPlace& box = boxes[e];
      const double start = box.left + box.width * from.from[part];
      const double end = std::min(box.left + box.width * from.to[part], box.right);
      const double last = static_cast<double>(static_cast<std::int64_t>(counts[part] - 1));
      double scale = std::max(0.0, end - start) / static_cast<double>(static_cast<std::int64_t>(counts[part]));
      while (scale > 0 && start + last * scale > box.right) scale = std::nextafter(scale, 0.0);
      slot.start[part] = start;
      slot.scale[part] = scale;
      slot.logTop[part] = box.logTop;
    }
  }
  boxCount_ = boxes.size();

  logHatArea_ = offset + std::log(total);
  logSqueezeArea_ = offset + std::log(squeezeArea);
  boxShare_ = boxTotal / total;
}

}  // namespace ars::detail
