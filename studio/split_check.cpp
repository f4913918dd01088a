#include "studio/split_check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "density/formula_density.h"
#include "sampler/split_finder.h"

namespace {

// The bends of T(f) on the two sides of s, each over [s - 2d, s] and
// [s, s + 2d]: -1 concave, +1 convex, 0 straight within rounding; both 0
// where a side has no finite value.
struct Bends {
  int left = 0;
  int right = 0;
};

Bends bendsBeside(const std::function<double(double)>& logDensity, ars::Transform transform, double s, double d) {
  const std::vector<double> x = {s - 2 * d, s - d, s, s + d, s + 2 * d};
  std::vector<double> h;
  for (const double v : x) h.push_back(logDensity(v));
  if (!std::all_of(h.begin(), h.end(), [](double v) { return std::isfinite(v); })) return {};
  const double reference = *std::max_element(h.begin(), h.end());
  std::vector<double> t;
  std::vector<double> err;
  for (const double v : h) {
    const ars::detail::TValue value = ars::detail::tValue(transform, v, reference);
    t.push_back(value.t);
    err.push_back(value.err);
  }
  return {ars::detail::bendSign(x, t, err, 0), ars::detail::bendSign(x, t, err, 2)};
}

std::string shapeName(int bend) { return bend < 0 ? "concave" : "convex"; }

}  // namespace

std::string splitPointProblem(const std::function<double(double)>& logDensity, ars::Transform transform,
                              const std::vector<double>& splits, double lower, double upper, double width) {
  if (!(width > 0) || !std::isfinite(width)) return "";
  const std::string t = transform == ars::Transform::Log ? "log f" : "\xe2\x88\x92" "1/\xe2\x88\x9a" "f";
  for (std::size_t i = 0; i < splits.size(); ++i) {
    const double s = splits[i];
    const double before = i > 0 ? splits[i - 1] : lower;
    const double after = i + 1 < splits.size() ? splits[i + 1] : upper;
    // Both sides within the neighbouring split points or ends.
    double d = std::min({width / 100, (s - before) / 2.5, (after - s) / 2.5});
    Bends shown;  // the bends at the widest scale that shows both sides bent
    bool changes = false;
    for (int k = 0; k < 40 && !changes && s - d < s && s + d > s; ++k, d /= 2) {
      const Bends bends = bendsBeside(logDensity, transform, s, d);
      changes = bends.left * bends.right < 0;
      if (shown.left == 0 && bends.left != 0 && bends.right != 0) shown = bends;
    }
    if (changes) continue;
    const std::string where = "No change of curvature at " + supportEndText(s) + ": ";
    if (shown.left != 0) return where + t + " is " + shapeName(shown.left) + " on both sides of it.";
    return where + t + " does not turn between concave and convex there.";
  }
  return "";
}
