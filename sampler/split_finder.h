#pragma once
// Split points found from evaluations alone. Where the second differences of
// T(f) at sorted abscissae change sign, T(f) turns between concave and convex
// somewhere between the two triples that show it (each second difference is
// T'' at some point of its triple). New evaluations inside that bracket
// narrow it until T(f) is straight across it to within kStraight in log f,
// and a point inside becomes the split: on each side the points then show
// one shape. Rounding never makes a change: a second difference that
// rounding of h and T could explain counts as straight.
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "sampler/mode_bracket.h"  // Evaluated
#include "sampler/transformed_line.h"

namespace ars::detail {

// T(f / exp(reference)) of a log-density value h, and what rounding of h and
// of the transformation can make of it.
struct TValue {
  double t, err;
};
TValue tValue(Transform transform, double h, double reference);

// The bend of T(f) at the triple of points i, i + 1, i + 2: -1 concave (the
// middle above the chord), +1 convex, 0 straight within rounding.
int bendSign(const std::vector<double>& x, const std::vector<double>& t,
             const std::vector<double>& err, std::size_t i);

// Two triples of opposite bend with only straight ones between: T(f)
// changes shape inside (x[from], x[to + 2]).
struct BendChange {
  std::size_t from, to;
};
// The first change among the triples i with a <= i and i + 2 <= b.
std::optional<BendChange> firstBendChange(const std::vector<double>& x, const std::vector<double>& t,
                                          const std::vector<double>& err, std::size_t a, std::size_t b);

// How far the middle of triple i lies from its chord, in units of log f.
double bendSize(Transform transform, const std::vector<double>& x, const std::vector<double>& t,
                std::size_t i);

// Below this a bracket is straight enough: a piece classified one way but
// holding a sliver of the other differs from its envelope by less.
constexpr double kStraight = 1e-2;
// At most this many evaluations to narrow one change.
constexpr int kMaxNarrowing = 24;

// Narrows `change` of the points (x ascending, h their log-density values,
// T taken relative to `reference`) by evaluating logDensity inside it, and
// returns the abscissa of a point (old or new) to split at: the points left
// of it show the bend of triple `from`, those right of it the other. The new
// points are appended to `added` (the caller keeps them: they refine the
// envelope where it is loosest).
double locateSplit(Transform transform, const std::vector<double>& x, const std::vector<double>& h,
                   double reference, BendChange change,
                   const std::function<double(double)>& logDensity, std::vector<Evaluated>& added);

// Abscissae in a tail of the hat, the line `hat` in T from the outer point
// `end` towards an infinite end (its slope says which), where the hat's mass
// beyond is each of `fractions` of the tail's: where a mode the points have
// not seen would show first.
std::vector<double> tailProbes(Transform transform, const Line& hat, double end,
                               const std::vector<double>& fractions);

}  // namespace ars::detail
