#include "sampler/argument_checks.h"
#include "sampler/start_search.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>

#include "sampler/not_log_concave.h"

namespace ars::detail {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double epsilon = std::numeric_limits<double>::epsilon();
// Enough doublings to run from the smallest step past the largest double.
constexpr int maxSteps = 2200;

double slope(const HullPoint& a, const HullPoint& b) { return chordSlope(a, b); }

// Where no start is given, a finite support is first tried on dyadic grids
// this fine, and at the end this much finer.
constexpr int coarseGridLevels = 6;
constexpr int fineGridLevels = 12;
// The largest shell of a ladder towards an unbounded end: past any double.
constexpr int maxShell = 1100;
// Shells searched at their start and on finer grids (the rest at their
// start only, after them).
constexpr int nearShells = 64;
// Level m splits shells into 2^m cells, within as many shells of the unit as
// make some levelCost probes a level: coarse cells far out, fine ones near.
constexpr int finestLevel = 9;
constexpr int levelCost = 1024;
// The stages of the search: the shells at their start reach this much
// farther with each; the last completes every level.
constexpr int stageShells = 16;
constexpr int lastStage = 5;

// Abscissae origin + dir * unit * 2^j * (1 + k 2^-m) for shells j <= maxShell:
// a geometric ladder away from origin (m = 0), and the ladder's gaps bisected
// (m > 0, odd k) in the shells near the unit, where a support narrower than
// the gap between two rungs would otherwise slip through.
struct Ladder {
  double origin, dir, unit;
  int maxShell;
};

template <class Try>
bool searchLadders(const std::vector<Ladder>& ladders, Try&& tryAt) {
  const auto shells = [&](int from, int to, int level) {
    // Shells 0, -1, 1, -2, 2, ...: the unit, then half and twice it.
    for (int d = from; d <= to; ++d) {
      for (int sign : {-1, 1}) {
        if (d == 0 && sign == 1) continue;
        const int j = sign * d;
        for (const Ladder& l : ladders) {
          if (j > l.maxShell) continue;
          const double base = std::ldexp(l.unit, j);
          const double cells = std::ldexp(1.0, level);
          for (double k = level == 0 ? 0 : 1; k < cells; k += 2) {
            const double x = l.origin + l.dir * base * (1 + k / cells);
            if (x != l.origin && tryAt(x)) return true;
          }
        }
      }
    }
    return false;
  };
  // In stages, each reaching farther out and one level finer: the ladder's
  // rungs (two probes a shell) far out early, finer grids near the unit
  // after. Probes repeated by a later stage cost nothing (tryAt skips them).
  for (int stage = 0; stage <= lastStage; ++stage) {
    for (int level = 0; level <= finestLevel; ++level) {
      const int most = level == 0 ? nearShells : std::min(nearShells, ((levelCost >> level) - 1) / 2);
      // About as many probes for each level (a level twice as fine reaches
      // half as far), the rungs themselves twice as far: a support spans a
      // rung more often than it is narrow.
      const int reach = stage == lastStage ? most : level == 0 ? 2 * stageShells * stage
                                                              : ((stageShells * stage) >> (level - 1)) - 1;
      if (reach >= 0 && shells(0, std::min(most, reach), level)) return true;
    }
  }
  return shells(nearShells + 1, maxShell + 1074, 0);
}

}  // namespace

StartSearch::StartSearch(const LogDensity& logDensity, double lower, double upper,
                         StartList starts, std::vector<HullPoint>& points,
                         HullEnvelope& envelope, double unitHint,
                         const std::vector<double>& guides, KnownValues known, ThreePointHull* three)
    : logDensity_(logDensity),
      declaredLower_(lower),
      declaredUpper_(upper),
      lower_(lower),
      upper_(upper),
      points_(points),
      envelope_(envelope),
      known_(known),
      three_(three) {
  if (three_ != nullptr) three_->built = false;
  if (!logDensity_) throw std::invalid_argument("logDensity is empty");
  checkSupport(lower, upper);
  points_.clear();
  points_.reserve(16);  // a search rarely needs more: one allocation for a fresh sampler
  const double hint = unitHint > 0 && std::isfinite(unitHint) ? unitHint : 0.0;
  guided_ = hint > 0 && probeGuides(guides, starts);
  if (guided_) {
    unit_ = hint;
    if (std::isfinite(lower_) && std::isfinite(upper_)) unit_ = std::min(unit_, (upper_ - lower_) * 0.25);
  } else {
    findFirstPoint(starts, hint);
  }
  bracket();
  refine();
}

double StartSearch::evaluate(double x) {
  for (std::size_t i = 0; i < known_.count; ++i) {
    if (known_.first[i].x == x) return known_.first[i].h;
  }
  ++evaluations_;
  return checkedLogDensity(logDensity_(x), x);
}

// Evaluates h at x; true when the value is finite and x joined the points.
// Each new point is checked against its neighbours at once.
bool StartSearch::probe(double x) { return accept(x, evaluate(x)); }

bool StartSearch::accept(double x, double h) {
  if (h == -inf) {
    zeroAt(x);
    return false;
  }
  const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                   [](const HullPoint& p, double v) { return p.x < v; });
  if (at != points_.end() && at->x == x) return false;
  if (!finiteSlopes(points_, at, x, h)) return false;
  // Checked before the insertion, which then never has to be undone.
  const std::size_t i = static_cast<std::size_t>(at - points_.begin());
  HullPoint proof[3];
  if (!concaveAround(points_, i, HullPoint{x, h}, proof)) throw chordProof(proof[0], proof[1], proof[2]);
  points_.insert(points_.begin() + static_cast<std::ptrdiff_t>(i), HullPoint{x, h});
  return true;
}

// A log-concave density is positive on an interval: a zero beyond the outer
// points moves that end in; a zero between two positive values is proof.
void StartSearch::zeroAt(double x) {
  if (points_.empty()) {
    zeros_.push_back(x);
    return;
  }
  if (x < points_.front().x) {
    lower_ = std::max(lower_, x);
    lookBeyondCut(false);
  } else if (x > points_.back().x) {
    upper_ = std::min(upper_, x);
    lookBeyondCut(true);
  } else {
    const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                     [](const HullPoint& p, double v) { return p.x < v; });
    throw NotLogConcave("not log-concave: the density is zero at x = " + number(x) +
                        " between positive values at " + number((at - 1)->x) + " and " +
                        number(at->x));
  }
}

// Before the search trusts a cut of a declared finite support, it looks once
// at the middle of the part cut off: a second bump there is reported.
void StartSearch::lookBeyondCut(bool up) {
  bool& looked = up ? lookedHigh_ : lookedLow_;
  const double declared = up ? declaredUpper_ : declaredLower_;
  const double cut = up ? upper_ : lower_;
  if (looked || !std::isfinite(declared)) return;
  looked = true;
  const double x = cut + (declared - cut) * 0.5;
  if (x == cut || x == declared) return;
  const double h = evaluate(x);
  if (h > -inf) {
    const HullPoint& inner = up ? points_.back() : points_.front();
    throw NotLogConcave("not log-concave: the density is zero at x = " + number(cut) +
                        " between positive values at " + number(inner.x) + " and " + number(x));
  }
}

// Probes in order of preference: the middle of a finite support, a unit (or
// the end's own magnitude) inside a half-bounded one, 0 on the line; then,
// generated one by one, finer grids or wider and narrower steps.
void StartSearch::findFirstPoint(StartList starts, double unitHint) {
  const bool lowFinite = std::isfinite(lower_);
  const bool highFinite = std::isfinite(upper_);
  if (!starts.empty()) {
    for (double x : starts) {
      if (!(x >= lower_ && x <= upper_) || !std::isfinite(x)) {
        throw std::invalid_argument("the starting abscissa " + number(x) +
                                    " lies outside the support " + supportText(lower_, upper_));
      }
      const double h = evaluate(x);
      if (h == -inf) {
        throw std::invalid_argument("logDensity must be finite at the starting abscissa " +
                                    number(x));
      }
      accept(x, h);
    }
    const double x0 = points_[highest()].x;
    unit_ = unitHint > 0 ? unitHint : std::max(1.0, 1e-9 * std::fabs(x0));
    // Near a finite end, the room to it is the scale at hand (Gamma- and
    // Beta-like densities spread about as far as their mode lies from it);
    // at most ten doublings below the guess, should the start sit at the end.
    if (!(unitHint > 0) && (lowFinite || highFinite)) {
      const double room = std::min(x0 - lower_, upper_ - x0);
      if (room > 0) unit_ = std::max(0.35 * room, std::ldexp(unit_, -10));
    }
    if (lowFinite && highFinite) unit_ = std::min(unit_, (upper_ - lower_) * 0.25);
    return;
  }
  std::set<double> tried;
  std::vector<double> order;  // for the message
  const auto tryAt = [&](double x) -> bool {
    if (!(x > lower_ || (x == lower_ && lowFinite)) || !(x < upper_ || (x == upper_ && highFinite))) {
      return false;
    }
    if (!std::isfinite(x) || !tried.insert(x).second) return false;
    order.push_back(x);
    return probe(x);
  };
  bool found = false;
  if (lowFinite && highFinite) {
    unit_ = (upper_ - lower_) * 0.25;
    const auto grid = [&](int from, int to) {
      for (int level = from; level <= to && !found; ++level) {
        const double cells = std::ldexp(1.0, level);
        for (double k = 1; k < cells && !found; k += 2) {
          const double f = k / cells;
          found = tryAt(lower_ * (1 - f) + upper_ * f);
        }
      }
    };
    grid(1, coarseGridLevels);
    // A support squeezed against either end: ladders in from both.
    const double half = upper_ * 0.5 - lower_ * 0.5;
    if (!found) found = searchLadders({{lower_, 1.0, half, 0}, {upper_, -1.0, half, 0}}, tryAt);
    if (!found) grid(coarseGridLevels + 1, fineGridLevels);
  } else if (lowFinite || highFinite) {
    const double end = lowFinite ? lower_ : upper_;
    const double unit = std::max(1.0, std::fabs(end));
    unit_ = unit * 0.5;
    found = searchLadders({{end, lowFinite ? 1.0 : -1.0, unit, maxShell}}, tryAt);
  } else {
    unit_ = 1.0;
    found = tryAt(0.0) || searchLadders({{0.0, 1.0, 1.0, maxShell}, {0.0, -1.0, 1.0, maxShell}}, tryAt);
  }
  if (!found) {
    std::string named;
    for (std::size_t i = 0; i < order.size() && i < 8; ++i) named += number(order[i]) + ", ";
    const std::string origin = lowFinite && highFinite ? std::string("either end")
                               : number(lowFinite ? lower_ : highFinite ? upper_ : 0.0);
    throw std::invalid_argument("logDensity is -infinity at all " + std::to_string(order.size()) +
                                " abscissae tried in the support " + supportText(lower_, upper_) + " (" +
                                named + "... from " + number(*tried.begin()) + " to " +
                                number(*tried.rbegin()) + "; a support far narrower than its distance from " +
                                origin + " can lie between them): give a starting abscissa where the density is positive");
  }
  if (unitHint > 0) unit_ = unitHint;
  const double x0 = points_.front().x;
  applyZeros();
  if (std::isfinite(lower_) && std::isfinite(upper_)) {
    unit_ = std::min(unit_, std::max(x0 - lower_, upper_ - x0) * 0.5);
  }
}

// Zeros met before the first positive value move the limits in to them.
void StartSearch::applyZeros() {
  const double x0 = points_.front().x;
  for (double z : zeros_) {
    if (z < x0) lower_ = std::max(lower_, z);
    if (z > x0) upper_ = std::min(upper_, z);
  }
  if (lower_ != declaredLower_) lookBeyondCut(false);
  if (upper_ != declaredUpper_) lookBeyondCut(true);
}

// The guides inside the support, each probed; true when one had a finite h.
// The starts are only checked against the support: a guided search does
// not need them.
bool StartSearch::probeGuides(const std::vector<double>& guides, StartList starts) {
  if (guides.empty()) return false;
  for (double x : starts) {
    if (!(x >= lower_ && x <= upper_) || !std::isfinite(x)) return false;  // reported by the usual path
  }
  for (double x : guides) {
    if (x > lower_ && x < upper_ && std::isfinite(x)) probe(x);
  }
  if (points_.empty()) {
    zeros_.clear();  // the starts' path takes the support as declared
    return false;
  }
  applyZeros();
  return true;
}

// x moved inside the current limits: half-way to an end it would pass.
double StartSearch::inside(double x0, double x) const {
  if (x >= upper_) return x0 + (upper_ - x0) * 0.5;
  if (x <= lower_) return x0 + (lower_ - x0) * 0.5;
  return x;
}

bool StartSearch::isPoint(double x) const {
  const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                   [](const HullPoint& p, double v) { return p.x < v; });
  return at != points_.end() && at->x == x;
}

std::size_t StartSearch::highest() const {
  std::size_t best = 0;
  for (std::size_t i = 1; i < points_.size(); ++i) {
    if (points_[i].h > points_[best].h) best = i;
  }
  return best;
}

// A point at the unit's distance from x0, then one on the other side; a zero
// there moves the limit in, and the distance then shrinks ever faster (2^-1,
// 2^-2, 2^-4, 2^-8, ...) until h is finite, so that even a density a few
// units in the last place wide is found in some twenty evaluations. Where
// the first point rises the mode lies that way: the other side is left (the
// secant makes its tail fall) and the search goes on from there. Where it
// falls, the second point goes otherSpread units beyond the mode that a
// parabola of the unit's scale (or, for a far larger fall, of the scale the fall says)
// puts through the two values, within a quarter and four units of x0.
void StartSearch::probeAround(double x0) {
  const double h0 = points_[highest()].h;
  double distance = unit_;
  for (double dir : {+1.0, -1.0}) {
    double step = distance;
    for (int j = 0; j < 24; ++j) {
      const double x = inside(x0, x0 + dir * step);
      if (x == x0 || !std::isfinite(x)) break;
      const double h = evaluate(x);
      if (accept(x, h)) {
        if (h > h0) return;
        const double a = std::fabs(x - x0);
        const double drop = h0 - h;
        const double far = 2 * spread * spread;
        const double scale = drop > far ? a / std::sqrt(2 * drop) : unit_ / spread;
        const double mode = 0.5 * a - drop * (scale / a) * scale;
        const double other = otherSpread * scale - mode;
        distance = std::min(4 * unit_, std::max(0.25 * unit_, other));
        if (drop > far) distance = std::min(distance, other);
        if (!(distance > 0) || !std::isfinite(distance)) distance = unit_;
        break;
      }
      // With a point on the other side already, the zero only moves the
      // limit in: the density lies on that side, and finding where it ends
      // here is left to the draws.
      if (h == -inf && dir < 0 && points_.size() >= 2) break;
      // The spacing of doubles at x0: the steps shrink no further.
      const double spacing = std::fabs(std::nextafter(x0, dir * inf) - x0);
      // Squaring the shrink would pass below the spacing: geometric means
      // with it instead, down to the neighbouring double as the last try.
      if (step <= spacing) break;
      const double next = std::ldexp(step, -(1 << std::min(j, 10)));
      step = next >= spacing ? next : step > 2 * spacing ? std::sqrt(step) * std::sqrt(spacing) : spacing;
    }
  }
}

// Two guides a spread either side of where the mode was: the chord between
// them and the learned scale place the mode (exactly, for a normal of that
// scale); the third point goes there when it lies between them, or a spread
// beyond it, so that the three bracket it.
void StartSearch::predictMode() {
  const HullPoint& a = points_[0];
  const HullPoint& b = points_[1];
  const double x = thirdGuide(a, b, unit_ / spread, lower_, upper_);
  if (!std::isnan(x) && x != a.x && x != b.x) probe(x);
}

double thirdGuide(const HullPoint& a, const HullPoint& b, double scale, double lower, double upper) {
  const double spread = StartSearch::spread;
  const double mode = a.x + (b.x - a.x) * 0.5 + scale * (scale * slope(a, b));
  double x = mode;
  if (!(mode > a.x + 0.25 * scale)) x = std::min(mode, a.x) - (a.x - std::min(mode, a.x)) - spread * scale;
  if (!(mode < b.x - 0.25 * scale)) x = std::max(mode, b.x) + (std::max(mode, b.x) - b.x) + spread * scale;
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  const double from = x < a.x ? a.x : b.x;
  if (x >= upper) return from + (upper - from) * 0.5;
  if (x <= lower) return from + (lower - from) * 0.5;
  return x;
}

// Fits a parabola through the highest point b and its neighbours (or the
// two nearest on one side). Reliable when the change of chord slope stands
// well above what rounding of h could make.
StartSearch::Parabola StartSearch::fit(std::size_t b) const {
  const std::size_t k = points_.size();
  if (k < 3) return {false, 0, 0};
  return fitAt(b == 0 ? 0 : (b + 1 == k ? k - 3 : b - 1));
}

// The parabola through points i, i + 1 and i + 2.
StartSearch::Parabola StartSearch::fitAt(std::size_t i) const {
  const HullPoint& p = points_[i];
  const HullPoint& q = points_[i + 1];
  const HullPoint& r = points_[i + 2];
  const double s1 = slope(p, q);
  const double s2 = slope(q, r);
  const double drop = s1 - s2;  // the fall of the slope from p-q to q-r
  const double span = r.x - p.x;
  // What rounding of the three values can do to the two slopes.
  const double noise = (std::fabs(p.h) + std::fabs(q.h)) / (q.x - p.x) +
                       (std::fabs(q.h) + std::fabs(r.h)) / (r.x - q.x);
  if (!(drop > 0) || !std::isfinite(drop) || !(drop > 64 * epsilon * noise)) return {false, 0, 0};
  // h ~ c - (x - mode)^2 / (2 scale^2): the slope falls by span / scale^2
  // from the middle of p-q to the middle of q-r, and is s1 at the first.
  // Written as quotients of like terms, so that nothing overflows.
  const double mode = 0.5 * (p.x + q.x) + (s1 / drop) * (0.5 * span);
  const double scale = std::sqrt(0.5 * span) / std::sqrt(drop);
  if (!std::isfinite(mode) || !std::isfinite(scale) || !(scale > 0)) return {false, 0, 0};
  return {true, mode, scale};
}

// Until every unbounded end has a falling outer chord and the highest point
// has a lower neighbour either side (or lies at a finite end): steps double
// away from the highest point. The parabola through the outer three points
// guesses the mode; its bracketing point replaces a step when it lies within
// four steps, or farther when the curvature agrees with that of the three
// points next inwards (h near quadratic). Towards a doubly exponential tail
// the curvature grows by far: a jump there would land astronomically low.
void StartSearch::bracket() {
  // Two guides lie a spread either side of where the mode was: the third
  // point goes where they place it, and the doubling steps below take over
  // where the three do not bracket it.
  if (!guided_ || points_.size() < 2) {
    probeAround(points_[highest()].x);
  } else if (points_.size() == 2) {
    predictMode();
  }
  // Steps double from the unit (not from a rescaled first probe, nor from a
  // jump: both say little about the distance to the mode).
  double stepUp = 0.5 * unit_, stepDown = 0.5 * unit_;
  bool bisectedUp = false, bisectedDown = false;
  for (int i = 0; i < maxSteps; ++i) {
    const std::size_t k = points_.size();
    if (k < 2) {
      throw std::invalid_argument("the support " + supportText(lower_, upper_) +
                                  " holds fewer than three distinct abscissae with a positive density");
    }
    const double first = slope(points_[0], points_[1]);
    const double last = slope(points_[k - 2], points_[k - 1]);
    // A tail falls only by more than rounding of its two values can make.
    bool needUp = upper_ == inf && !(last + chordSlopeNoise(points_[k - 2], points_[k - 1]) < 0);
    bool needDown = lower_ == -inf && !(first - chordSlopeNoise(points_[0], points_[1]) > 0);
    if (k == 2 && !needUp && !needDown) {
      // A third point: beyond the higher one, or between two equal ones.
      if (last == 0) {
        if (probe(points_[0].x + (points_[1].x - points_[0].x) * 0.5)) continue;
        throw std::invalid_argument("the support " + supportText(lower_, upper_) +
                                    " holds fewer than three distinct abscissae with a positive density");
      }
      needUp = last > 0;
      needDown = !needUp;
      // Beyond the higher one h was found -infinity (a support stated by
      // -infinity outside it): the mode lies between that cut and the lower
      // point, and steps towards the cut would only creep up to it.
      if (needUp ? upper_ != declaredUpper_ : lower_ != declaredLower_) {
        if (probe(points_[0].x + (points_[1].x - points_[0].x) * 0.5)) continue;
        throw std::invalid_argument("the support " + supportText(lower_, upper_) +
                                    " holds fewer than three distinct abscissae with a positive density");
      }
    }
    if (!needUp && !needDown) return;
    const bool up = needUp;
    const double dir = up ? 1.0 : -1.0;
    const HullPoint edge = up ? points_[k - 1] : points_[0];
    double& step = up ? stepUp : stepDown;
    // The edge rose above its neighbour by little, and at a far smaller
    // slope than that rose above the next: the step most likely passed the
    // mode. Once, the middle between them comes before the next doubling.
    bool& bisected = up ? bisectedUp : bisectedDown;
    if (k >= 3 && !bisected) {
      const HullPoint& inner = up ? points_[k - 2] : points_[1];
      const HullPoint& next = up ? points_[k - 3] : points_[2];
      const double rise = dir * slope(inner, edge), before = dir * slope(next, inner);
      const double middle = inner.x + (edge.x - inner.x) * 0.5;
      if (rise >= 0 && rise * 8 < before && edge.h - inner.h < 2 * spread * spread &&
          middle != inner.x && middle != edge.x) {
        bisected = true;
        probe(middle);
        continue;
      }
    }
    bisected = false;
    step *= 2;
    double x = edge.x + dir * step;
    bool stepped = true;
    if (k >= 3) {
      // Near a finite end, h is mostly a log-linear a log(distance) -
      // r distance (Gamma- and Beta-like conditionals), which three points
      // fix: its mode, a spread beyond, in one step instead of doublings
      // from the small scale near the end, or a parabola's guess.
      double endScale = 0.0;
      const double fromEnd = endJump(up, endScale);
      const Parabola outer = fromEnd > 0 ? Parabola{false, 0, 0} : fitAt(up ? k - 3 : 0);
      if (fromEnd > 0) {
        x = edge.x + dir * fromEnd;
        step = endScale;
        stepped = false;
      }
      if (outer.reliable) {
        const double target = outer.mode + dir * spread * outer.scale;
        const double reach = dir * (target - edge.x);
        bool trusted = false, quadratic = false;
        if (k >= 4) {
          const Parabola next = fitAt(up ? k - 4 : 1);
          trusted = next.reliable && outer.scale > 0.8 * next.scale && outer.scale < 1.25 * next.scale;
          quadratic = next.reliable && outer.scale > 0.95 * next.scale && outer.scale < 1.05 * next.scale;
        }
        // A target at the edge itself (the edge is the parabola's bracketing
        // point) gives nothing: the step goes on beyond it.
        if (reach > 0.25 * step && std::isfinite(target) && (trusted || (k == 3 && reach <= 4 * step))) {
          x = target;
          step *= 0.5;
          stepped = false;
        } else if (!(dir * (outer.mode - edge.x) > 0) && !fallsDoublyExponentially(up, quadratic)) {
          // The mode lies behind the edge, by the parabola: no step longer
          // than the last gap. Where it lies between the edge and its inner
          // neighbour, that far from both, and the curvature further in
          // agrees (h near quadratic), a point there brackets it at once
          // (the edge a spread beyond it falls from it); a step out would
          // land far down the other side, a gap more to split.
          const HullPoint& inner = up ? points_[k - 2] : points_[1];
          const double gap = std::fabs(edge.x - inner.x);
          const double back = dir * (edge.x - outer.mode);
          if (quadratic && back > 0.25 * outer.scale && back < gap - 0.25 * outer.scale && !isPoint(outer.mode)) {
            step *= 0.5;  // no step was taken
            probe(outer.mode);
            continue;
          }
          step = std::min(step, gap);
          x = edge.x + dir * step;
          stepped = false;
        }
      }
      // A plain doubling towards a doubly exponential tail's mode takes a
      // step per unit of log-slope: the rates' decay says how far to go, at
      // most eight steps at once (on a nearly straight side the decay is
      // barely measured, and a polynomial side's decay would send the point
      // far past the mode). Landed near the mode, steps go on from its scale.
      // A nearly straight side whose slope has begun to give way fast (a
      // log-linear side turning into a doubly exponential fall beyond the
      // mode) goes by that turn instead: a doubling, or the rates' decay,
      // would land far down the fall.
      double localScale = 0.0;
      const double turn = stepped && k >= 4 ? turnJump(up, localScale) : 0.0;
      const double far = stepped && !(turn > 0) ? rateJump(up, localScale) : 0.0;
      if (turn > 0) {
        x = edge.x + dir * std::min(turn, 4 * step);
        step = std::min(step, turn);
      } else if (far > step) {
        x = edge.x + dir * std::min(far, 8 * step);
        if (far <= 8 * step) step = std::min(step, localScale);
      }
    }
    if (!std::isfinite(x) && std::isinf(up ? upper_ : lower_)) {
      throw NotLogConcave(std::string("not integrable towards ") + (up ? "+" : "-") +
                          "infinity: h does not fall beyond " + number(edge.x),
                          NotLogConcave::Reason::NotIntegrable);
    }
    x = inside(edge.x, x);
    if (x == edge.x) x = std::nextafter(edge.x, dir * inf);
    if (x == edge.x || !(x >= lower_ && x <= upper_)) return;
    // A limit moved in is where h was found -infinity already.
    if ((x == lower_ && lower_ != declaredLower_) || (x == upper_ && upper_ != declaredUpper_)) return;
    probe(x);
  }
  throw NotLogConcave("not integrable: the search for a falling tail did not end",
                      NotLogConcave::Reason::NotIntegrable);
}

// Where the rise towards the edge slows by a steady factor (a doubly
// exponential tail), the distance beyond the edge to where the rise rate
// r = r0 e^(-k d) has come down to k: there the local scale 1 / sqrt(k r)
// is 1 / k (returned in scale) and h rises by about one over it, near the
// mode. 0 where the last two rates do not fall that way.
double StartSearch::rateJump(bool up, double& scale) const {
  const std::size_t k = points_.size();
  const HullPoint& edge = up ? points_[k - 1] : points_[0];
  const HullPoint& inner = up ? points_[k - 2] : points_[1];
  const HullPoint& next = up ? points_[k - 3] : points_[2];
  const double dir = up ? 1.0 : -1.0;
  const double back = dir * slope(next, inner), front = dir * slope(inner, edge);
  if (!(front > 0) || !(back > 1.25 * front)) return 0.0;
  const double gap = std::fabs(edge.x - inner.x);
  const double decay = std::log(back / front) / (0.5 * (gap + std::fabs(inner.x - next.x)));
  if (!(front > decay)) return 0.0;
  const double jump = std::log(front / decay) / decay - 0.5 * gap;
  scale = 1 / decay;
  return std::isfinite(jump) && jump > 0 ? jump : 0.0;
}

// The parabola misreads a doubly exponential side (t - e^t far to the
// right of its mode): its curvature grows by far from one triple of points to
// the next, so it places the mode behind the edge, and steps clamped to the
// last gap would creep towards the real one a gap at a time (52 evaluations
// from t = 100). Where the rates decay steadily instead and put the mode more
// than two last gaps beyond the edge, their jump decides.
bool StartSearch::fallsDoublyExponentially(bool up, bool quadratic) const {
  const std::size_t k = points_.size();
  if (quadratic || k < 3) return false;
  double scale = 0.0;
  const double gap = std::fabs(up ? points_[k - 1].x - points_[k - 2].x : points_[1].x - points_[0].x);
  return rateJump(up, scale) > 2 * gap;
}

// h = a log(u) - r u + c through the three points next to the edge, with u
// the distance from the nearer finite end: the distance beyond the edge to
// a spread past its mode a / r, on the far side from the edge (half-way to
// the end where that spread would pass it); its scale u / sqrt(a) goes to
// scale. 0 without a finite end, or where the fit is no such curve.
double StartSearch::endJump(bool up, double& scale) const {
  const std::size_t k = points_.size();
  const auto at = [&](std::size_t j) -> const HullPoint& { return up ? points_[k - 1 - j] : points_[j]; };
  const double x0 = at(0).x;
  const bool fromLower = std::isfinite(lower_) && !(std::isfinite(upper_) && upper_ - x0 < x0 - lower_);
  if (!fromLower && !std::isfinite(upper_)) return 0.0;
  const double end = fromLower ? lower_ : upper_;
  const auto u = [&](std::size_t j) { return fromLower ? at(j).x - end : end - at(j).x; };
  const double u0 = u(0), u1 = u(1), u2 = u(2);
  if (!(u0 > 0 && u1 > 0 && u2 > 0)) return 0.0;
  // Differences from the innermost point: d = a dl - r du.
  const double dl1 = std::log(u1 / u2), du1 = u1 - u2, d1 = at(1).h - at(2).h;
  const double dl0 = std::log(u0 / u2), du0 = u0 - u2, d0 = at(0).h - at(2).h;
  const double det = dl1 * du0 - dl0 * du1;
  const double a = (d1 * du0 - d0 * du1) / det;
  const double r = (d1 * dl0 - d0 * dl1) / det;
  if (!(a > 0) || !(r > 0) || !std::isfinite(a) || !std::isfinite(r)) return 0.0;
  const double mode = a / r;
  scale = mode / std::sqrt(a);
  // Away from the end (u grows the way the edge moves) or towards it.
  const bool away = up == fromLower;
  double target = mode + (away ? spread : -spread) * scale;
  if (!(target > 0)) target = 0.5 * std::min(mode, u0);
  // An edge at the target already (or past it) leaves the step to the rest.
  const double jump = away ? target - u0 : u0 - target;
  return std::isfinite(jump) && jump > 0.25 * scale ? jump : 0.0;
}

// Where the slopes towards the edge fall short of the outer one by a
// shortfall that grows exponentially (by more than turnGrowth between the
// last two chords), the distance beyond the edge to one decay length past
// where that shortfall, so extrapolated, eats the whole slope: about a local
// scale beyond the mode. 0 where the slopes do not give way so.
double StartSearch::turnJump(bool up, double& scale) const {
  const std::size_t k = points_.size();
  const double dir = up ? 1.0 : -1.0;
  const auto at = [&](std::size_t j) -> const HullPoint& { return up ? points_[k - 1 - j] : points_[j]; };
  // Chords from the edge inwards: front (edge), back, outer.
  const double front = dir * slope(at(1), at(0)), back = dir * slope(at(2), at(1));
  const double outer = dir * slope(at(3), at(2));
  const double shortFront = outer - front, shortBack = outer - back;
  if (!(front > 0) || !(shortBack > 0) || !(shortFront > turnGrowth * shortBack)) return 0.0;
  const double between = 0.5 * std::fabs(at(0).x - at(2).x);  // from the back chord's middle to the front's
  const double decay = std::log(shortFront / shortBack) / between;
  const double toMode = std::log(outer / shortFront) / decay - 0.5 * std::fabs(at(0).x - at(1).x);
  scale = 1 / decay;
  const double jump = std::max(toMode, 0.0) + scale;
  return std::isfinite(jump) && jump > 0 ? jump : 0.0;
}

// A point between the highest one and a neighbour more than maxDrop below
// it (the lower one first), or beyond an outer one too little below it;
// NaN when there is none.
double StartSearch::farNeighbourSplit() const {
  const std::size_t b = highest();
  const double top = points_[b].h;
  // Fitted only where a split asks for it: most searches need none.
  Parabola parabola{false, 0, 0};
  bool fitted = false;
  const auto parabolaAt = [&]() -> const Parabola& {
    if (!fitted) {
      parabola = fit(b);
      fitted = true;
    }
    return parabola;
  };
  double worst = maxDrop, x = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t n : {b - 1, b + 1}) {
    if (n >= points_.size()) continue;  // b - 1 wraps round at b = 0
    const double drop = top - points_[n].h;
    if (!(drop > worst)) continue;
    // The parabola's point a spread beyond the mode, within 1/16 and 1/2 of
    // the gap from the highest point: no nearer (a skewed parabola) and no
    // farther than bisection.
    const double gap = points_[n].x - points_[b].x;
    double f = 0.5;
    if (!splitRose_ && parabolaAt().reliable) {
      const double dir = gap > 0 ? 1.0 : -1.0;
      const double target = parabola.mode + dir * spread * parabola.scale;
      f = std::min(0.5, std::max(0.0625, (target - points_[b].x) / gap));
    }
    const double split = points_[b].x + gap * f;
    if (split != points_[b].x && split != points_[n].x) {
      worst = drop;
      x = split;
    }
  }
  if (!std::isnan(x)) return x;
  // An outer point towards an unbounded end barely below the highest: the
  // tail's secant is nearly flat and would hold most of the hat (where h
  // falls doubly exponentially beyond, draws would creep back from far out).
  // A point beyond it, where the parabola puts a spread past the mode or as
  // far again, steepens it.
  const std::size_t k = points_.size();
  for (std::size_t n : {b - 1, b + 1}) {
    if (n >= k || (n != 0 && n + 1 != k) || !(top - points_[n].h < (guided_ ? guidedMinDrop : minDrop))) {
      continue;
    }
    if (std::isfinite(n > b ? upper_ : lower_)) continue;
    const double gap = points_[n].x - points_[b].x;
    double beyond = points_[n].x + gap;
    if (parabolaAt().reliable) {
      const double target = parabola.mode + (gap > 0 ? spread : -spread) * parabola.scale;
      if ((target - points_[n].x) / gap >= 0.5) beyond = target;
    }
    if (std::isfinite(beyond)) return beyond;
  }
  return x;
}

// Points around the guessed mode until the squeeze holds startRatio of the
// hat, at most a few more evaluations: sampling refines the rest.
// The hull is built only when no neighbour of the highest point lies far
// below it (bisecting such a gap first costs no build, and is what the hull
// would ask for: its secants there are far above h).
void StartSearch::refine() {
  bool splitting = true;
  for (int i = 0; i < 40; ++i) {
    const double split = splitting ? farNeighbourSplit() : std::numeric_limits<double>::quiet_NaN();
    if (!std::isnan(split)) {
      const double before = points_[highest()].h;
      // A split that cannot join (no finite slope to its neighbours) would
      // come back at once: the hull decides from then on.
      splitting = probe(split);
      splitRose_ = points_[highest()].h > before;
      continue;
    }
    // Three points whose hull alone holds enough squeeze: no envelope yet.
    if (three_ != nullptr && points_.size() == 3 &&
        buildThreePointHull(points_[0], points_[1], points_[2], lower_, upper_, *three_)) {
      if (three_->squeeze >= startRatio * three_->end[3]) {
        envelope_.place(lower_, upper_);
        return;
      }
      three_->built = false;
    }
    envelope_.build(points_, lower_, upper_);
    if (envelope_.squeezeHolds(startRatio)) return;
    const std::size_t b = highest();
    const Parabola parabola = fit(b);
    double x = std::numeric_limits<double>::quiet_NaN();
    // The highest point is the outermost towards a declared finite end, and
    // no parabola puts the mode inside: the mode may be the end itself.
    const bool atLow = b == 0 && lower_ == declaredLower_ && std::isfinite(lower_) &&
                       !lookedAtLowEnd_ && !(parabola.reliable && parabola.mode > points_[0].x);
    const bool atHigh = b + 1 == points_.size() && upper_ == declaredUpper_ &&
                        std::isfinite(upper_) && !lookedAtHighEnd_ &&
                        !(parabola.reliable && parabola.mode < points_[b].x);
    if (atLow || atHigh) {
      (atLow ? lookedAtLowEnd_ : lookedAtHighEnd_) = true;
      const double end = atLow ? lower_ : upper_;
      if (!isPoint(end)) {
        // h may be +infinity or NaN at an end (x^-0.5, 0 log 0): not used then.
        ++evaluations_;
        const double h = logDensity_(end);
        if (!std::isnan(h) && h != inf) accept(end, h);
        continue;
      }
    }
    // The hull still rises into a finite end beyond the outer point (cut
    // where h was found -infinity, or a declared end): halve the gap, so
    // that the end of the density is found in a few steps.
    // Only while that piece holds a fair part of the hat: where the rest
    // lacks the squeeze (a far tail on the other side), halving would creep
    // towards an end that holds next to nothing.
    const std::size_t k = points_.size();
    const auto& pieces = envelope_.segments();
    const double fair = 0.25 * envelope_.total();
    const bool risingHigh =
        std::isfinite(upper_) && upper_ > points_[k - 1].x &&
        slope(points_[k - 2], points_[k - 1]) + chordSlopeNoise(points_[k - 2], points_[k - 1]) > 0 &&
        pieces.back().area > fair;
    const bool risingLow = std::isfinite(lower_) && lower_ < points_[0].x &&
                           slope(points_[0], points_[1]) - chordSlopeNoise(points_[0], points_[1]) < 0 &&
                           pieces.front().area > fair;
    if (risingHigh || risingLow) {
      const double outer = risingHigh ? points_[k - 1].x : points_[0].x;
      const double end = risingHigh ? upper_ : lower_;
      const double middle = outer + (end - outer) * 0.5;
      if (middle != outer && middle != end) {
        probe(middle);
        continue;
      }
    }
    if (parabola.reliable) {
      const double m = parabola.mode, s = parabola.scale;
      bool below = false, above = false, near = false;
      double nearestBelow = inf, nearestAbove = inf;
      for (const HullPoint& p : points_) {
        const double z = (p.x - m) / s;
        below = below || (z <= -0.6 && z >= -2.5);
        above = above || (z >= 0.6 && z <= 2.5);
        near = near || std::fabs(z) < 0.6;
        if (z < 0) nearestBelow = std::min(nearestBelow, -z);
        if (z > 0) nearestAbove = std::min(nearestAbove, z);
      }
      // A side without a point a spread out leaves its outer piece to one
      // secant, steep and far above h over the whole gap: that side first
      // (the farther gap when both lack one), the mode after.
      if (!below && (above || nearestBelow >= nearestAbove)) {
        x = m - spread * s;
      } else if (!above) {
        x = m + spread * s;
      } else if (!near) {
        x = m;
      }
      if (!(x > lower_ && x < upper_)) x = std::numeric_limits<double>::quiet_NaN();
    }
    if (std::isnan(x)) {
      // Where the hat exceeds the squeeze most: the middle of that piece's area.
      const auto& segments = envelope_.segments();
      std::size_t worst = 0;
      double excess = -1;
      for (std::size_t j = 0; j < segments.size(); ++j) {
        const double e = segments[j].area * (1 - segments[j].acceptBound);
        if (e > excess) {
          excess = e;
          worst = j;
        }
      }
      const HullSegment& s = segments[worst];
      x = s.anchor + s.dir * envelope_.invert(worst, 0.5 * s.area);
      // Mass within rounding of the anchor: halve the piece instead.
      if (isPoint(x) && std::isfinite(s.width)) x = s.left + (s.right - s.left) * 0.5;
    }
    if (!(x > lower_ && x < upper_) || isPoint(x)) return;
    probe(x);
  }
  envelope_.build(points_, lower_, upper_);
}

namespace {

// The first of the three points around the highest one (or the outer three
// at an end); the caller needs three points.
std::size_t aroundHighest(const std::vector<HullPoint>& points) {
  const std::size_t k = points.size();
  std::size_t b = 0;
  for (std::size_t i = 1; i < k; ++i) {
    if (points[i].h > points[b].h) b = i;
  }
  return b == 0 ? 0 : (b + 1 == k ? k - 3 : b - 1);
}

}  // namespace

LearnedShape learnedShape(const std::vector<HullPoint>& points) {
  if (points.size() < 3) return {};
  const std::size_t i = aroundHighest(points);
  const HullPoint& p = points[i];
  const HullPoint& q = points[i + 1];
  const HullPoint& r = points[i + 2];
  const double s1 = slope(p, q);
  const double drop = s1 - slope(q, r);
  const double span = r.x - p.x;
  const double scale = std::sqrt(0.5 * span) / std::sqrt(drop);
  LearnedShape shape;
  const bool curved = drop > 0 && std::isfinite(scale) && scale > 0;
  shape.unit = curved ? StartSearch::spread * scale : 0.5 * span;
  const double mode = 0.5 * (p.x + q.x) + (s1 / drop) * (0.5 * span);
  if (curved && std::isfinite(mode)) {
    shape.reliable = true;
    shape.mode = mode;
    shape.scale = scale;
  }
  return shape;
}

}  // namespace ars::detail
