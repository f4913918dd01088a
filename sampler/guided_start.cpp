#include "sampler/guided_start.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sampler/argument_checks.h"
#include "sampler/start_search.h"

namespace ars::detail {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

bool insideOpen(double x, double lower, double upper) { return x > lower && x < upper && std::isfinite(x); }

}  // namespace

GuidedStart guidedStart(const std::function<double(double)>& h, double lower, double upper, double g0,
                        double g1, double unit) {
  GuidedStart out;
  if (!(lower < upper) || !(g0 < g1) || !insideOpen(g0, lower, upper) || !insideOpen(g1, lower, upper) ||
      !(unit > 0) || !std::isfinite(unit)) {
    return out;
  }
  const auto evaluate = [&](double x) {
    const HullPoint p{x, checkedLogDensity(h(x), x)};
    out.evaluated[out.evaluations++] = p;
    return p;
  };
  const HullPoint a = evaluate(g0);
  if (a.h == -inf) return out;
  const HullPoint b = evaluate(g1);
  if (b.h == -inf) return out;
  // As the search places its third point after two guides.
  if (std::isfinite(lower) && std::isfinite(upper)) unit = std::min(unit, (upper - lower) * 0.25);
  const double x = thirdGuide(a, b, unit / StartSearch::spread, lower, upper);
  if (!insideOpen(x, lower, upper) || x == a.x || x == b.x) return out;
  const HullPoint m = evaluate(x);
  if (m.h == -inf) return out;
  HullPoint p[3] = {a, b, m};
  if (m.x < a.x) {
    p[0] = m;
    p[1] = a;
    p[2] = b;
  } else if (m.x < b.x) {
    p[1] = m;
    p[2] = b;
  }
  // The middle one highest, below it by no more than the search lets a
  // neighbour lie before splitting, and by enough towards an unbounded end
  // that its tail is no flat plateau; concave with room to spare.
  const double top = p[1].h;
  if (!(top >= p[0].h && top >= p[2].h)) return out;
  if (top - p[0].h > StartSearch::maxDrop || top - p[2].h > StartSearch::maxDrop) return out;
  if (lower == -inf && !(top - p[0].h >= StartSearch::guidedMinDrop)) return out;
  if (upper == inf && !(top - p[2].h >= StartSearch::guidedMinDrop)) return out;
  const double ab = chordSlope(p[0], p[1]), bc = chordSlope(p[1], p[2]);
  if (!std::isfinite(ab) || !std::isfinite(bc) || belowChord(p[0], p[1], p[2]) || !(ab > bc)) return out;
  // Tails that fall by more than rounding (the hull then never rises into an end).
  if (!(ab - chordSlopeNoise(p[0], p[1]) > 0) || !(bc + chordSlopeNoise(p[1], p[2]) < 0)) return out;
  for (int i = 0; i < 3; ++i) out.point[i] = p[i];
  out.found = true;
  return out;
}

}  // namespace ars::detail
