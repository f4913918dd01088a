#include "sampler/split_finder.h"

#include <algorithm>
#include <cmath>

namespace ars::detail {

TValue tValue(Transform transform, double h, double reference) {
  const double t = toT(transform, h - reference);
  const double rounding = 2.3e-16 * (4 + std::fabs(h) + std::fabs(reference));
  return {t, transform == Transform::Log ? rounding : rounding * std::fabs(t)};
}

int bendSign(const std::vector<double>& x, const std::vector<double>& t,
             const std::vector<double>& err, std::size_t i) {
  const double d0 = x[i + 1] - x[i], d1 = x[i + 2] - x[i + 1];
  const double m0 = (t[i + 1] - t[i]) / d0, m1 = (t[i + 2] - t[i + 1]) / d1;
  // What rounding of h and of T(h) can make of a slope difference proves nothing.
  const double tol = 1e-9 * (std::fabs(m0) + std::fabs(m1)) + (err[i] + err[i + 1]) / d0 +
                     (err[i + 1] + err[i + 2]) / d1;
  return m1 > m0 + tol ? 1 : (m1 < m0 - tol ? -1 : 0);
}

std::optional<BendChange> firstBendChange(const std::vector<double>& x, const std::vector<double>& t,
                                          const std::vector<double>& err, std::size_t a, std::size_t b) {
  std::optional<std::size_t> last;
  int lastSign = 0;
  for (std::size_t i = a; i + 2 <= b; ++i) {
    const int sign = bendSign(x, t, err, i);
    if (sign == 0) continue;
    if (last && sign != lastSign) return BendChange{*last, i};
    last = i;
    lastSign = sign;
  }
  return std::nullopt;
}

double bendSize(Transform transform, const std::vector<double>& x, const std::vector<double>& t,
                std::size_t i) {
  const double chord = t[i] + (t[i + 2] - t[i]) * ((x[i + 1] - x[i]) / (x[i + 2] - x[i]));
  const double off = std::fabs(t[i + 1] - chord);
  // Under -1/sqrt(f), log f = -2 log(-t): a step dt is 2 dt / |t| in log f.
  return transform == Transform::Log ? off : 2 * off / std::fabs(t[i + 1]);
}

namespace {

// The second divided difference of triple i and the middle of its points.
struct Curvature {
  double at, value;
};
Curvature curvature(const std::vector<double>& x, const std::vector<double>& t, std::size_t i) {
  const double m0 = (t[i + 1] - t[i]) / (x[i + 1] - x[i]), m1 = (t[i + 2] - t[i + 1]) / (x[i + 2] - x[i + 1]);
  return {(x[i] + x[i + 1] + x[i + 2]) / 3, (m1 - m0) / (x[i + 2] - x[i])};
}

}  // namespace

double locateSplit(Transform transform, const std::vector<double>& x, const std::vector<double>& h,
                   double reference, BendChange change,
                   const std::function<double(double)>& logDensity, std::vector<Evaluated>& added) {
  // A window of the points around the change, one more on each side so
  // that the triples reaching across its ends are judged too.
  const std::size_t first = change.from > 0 ? change.from - 1 : 0;
  const std::size_t last = std::min(change.to + 3, x.size() - 1);
  std::vector<double> X(x.begin() + first, x.begin() + last + 1), T, E;
  for (std::size_t i = first; i <= last; ++i) {
    const TValue v = tValue(transform, h[i], reference);
    T.push_back(v.t);
    E.push_back(v.err);
  }
  const int from = bendSign(X, T, E, change.from - first);
  if (from == 0) return X[change.from - first + 1];
  std::size_t L = change.from - first, R = change.to - first;
  double split = X[L + 1];
  for (int step = 0; step <= kMaxNarrowing; ++step) {
    // The first change of the same direction inside the window.
    std::optional<BendChange> found;
    std::optional<std::size_t> signedAt;
    for (std::size_t i = 0; i + 2 < X.size(); ++i) {
      const int sign = bendSign(X, T, E, i);
      if (sign == from) signedAt = i;
      if (sign == -from && signedAt) {
        found = BendChange{*signedAt, i};
        break;
      }
    }
    if (!found) break;  // straight within rounding: the last split stands
    L = found->from;
    R = found->to;
    // The inner point nearest where the second differences, read as a
    // line, cross zero.
    const Curvature cl = curvature(X, T, L), cr = curvature(X, T, R);
    const double guess = cl.at + (cr.at - cl.at) * (cl.value / (cl.value - cr.value));
    std::size_t m = L + 1;
    for (std::size_t i = L + 2; i <= R + 1; ++i)
      if (std::fabs(X[i] - guess) < std::fabs(X[m] - guess)) m = i;
    split = X[m];
    // Straight enough once T(f) at the split lies that close to the chord
    // across the bracket.
    const double size = bendSize(transform, {X[L], X[m], X[R + 2]}, {T[L], T[m], T[R + 2]}, 0);
    if (size <= kStraight || step == kMaxNarrowing) break;
    // Points on either side of the guess in turn, an eighth of the bracket
    // away: once the guess is good the bracket shrinks around it fourfold
    // every two evaluations. A point that would crowd another halves the
    // bracket's widest gap instead.
    const double lo = X[L], hi = X[R + 2], reach = (hi - lo) / 8;
    if (!(reach > 1e-12 * (std::fabs(lo) + std::fabs(hi)))) break;
    double at = std::min(std::max(guess + (step % 2 ? reach : -reach), lo), hi);
    std::size_t g = std::upper_bound(X.begin(), X.end(), at) - X.begin() - 1;
    if (g > R + 1) g = R + 1;
    if (std::min(at - X[g], X[g + 1] - at) < (X[g + 1] - X[g]) / 8) {
      g = L;
      for (std::size_t i = L + 1; i <= R + 1; ++i)
        if (X[i + 1] - X[i] > X[g + 1] - X[g]) g = i;
      at = 0.5 * (X[g] + X[g + 1]);
    }
    const double value = logDensity(at);
    added.push_back({at, value});
    const TValue v = tValue(transform, value, reference);
    if (!std::isfinite(v.t)) break;
    X.insert(X.begin() + g + 1, at);
    T.insert(T.begin() + g + 1, v.t);
    E.insert(E.begin() + g + 1, v.err);
  }
  return split;
}

std::vector<double> tailProbes(Transform transform, const Line& hat, double end,
                               const std::vector<double>& fractions) {
  std::vector<double> out;
  const double t0 = hat.at(end);
  if (!(hat.slope != 0) || !std::isfinite(t0)) return out;
  for (double q : fractions) {
    // The hat's mass beyond x is exp(t(x)) / |slope| under log, and
    // 1 / (|slope| |t(x)|) under -1/sqrt(f).
    const double target = transform == Transform::Log ? t0 + std::log(q) : t0 / q;
    const double x = end + (target - t0) / hat.slope;
    if (std::isfinite(x)) out.push_back(x);
  }
  return out;
}

}  // namespace ars::detail
