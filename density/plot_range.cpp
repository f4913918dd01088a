#include "density/plot_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
// Beyond this drop from the highest value the density no longer shows.
constexpr double visibleDrop = 25.0;
constexpr int gridIntervals = 4000;

bool usable(double h) { return h == h && h < infinity; }

// From x, outward in direction (+1 or -1) by doubling steps until the density
// has fallen visibleDrop below the highest value seen, or a finite end or a
// step limit comes first.
double explore(const std::function<double(double)>& f, double x, double hx, int direction,
               double end) {
  double top = usable(hx) ? hx : -infinity;
  double step = std::max(1e-3, 1e-3 * std::fabs(x));
  double reached = x;
  for (int i = 0; i < 80; ++i) {
    const double next = x + direction * step;
    if (!(direction > 0 ? next < end : next > end)) return end;
    const double h = f(next);
    reached = next;
    if (usable(h) && h > top) top = h;
    if (usable(h) && top > -infinity && h < top - visibleDrop) break;
    if (!usable(h) && top > -infinity) break;
    step *= 2;
  }
  return reached;
}

std::vector<double> trialPoints(double lower, double upper) {
  std::vector<double> xs;
  static const double distances[] = {1e-3, 0.1, 0.5, 1, 2, 5, 10, 30, 100, 1e3, 1e4};
  if (std::isfinite(lower) && std::isfinite(upper)) {
    for (int k = 1; k < 200; ++k) xs.push_back(lower + (upper - lower) * (k / 200.0));
  } else if (std::isfinite(lower)) {
    for (double d : distances) xs.push_back(lower + d);
  } else if (std::isfinite(upper)) {
    for (double d : distances) xs.push_back(upper - d);
  } else {
    xs.push_back(0.0);
    for (double d : distances) {
      xs.push_back(d);
      xs.push_back(-d);
    }
  }
  return xs;
}

}  // namespace

PlotRange plotRange(const std::function<double(double)>& f, double lower, double upper,
                    const std::vector<HullPoint>& knownPoints) {
  // The stretch to look at: the known points' span, or an exploration
  // outward from the highest trial point.
  double left;
  double right;
  if (!knownPoints.empty()) {
    left = knownPoints.front().x;
    right = knownPoints.back().x;
    if (std::isfinite(lower)) left = lower;
    if (std::isfinite(upper)) right = upper;
  } else {
    double best = std::isfinite(lower) ? lower : (std::isfinite(upper) ? upper : 0.0);
    double bestH = -infinity;
    for (double x : trialPoints(lower, upper)) {
      if (!(x > lower && x < upper)) continue;
      const double h = f(x);
      if (usable(h) && h > bestH) {
        bestH = h;
        best = x;
      }
    }
    left = std::isfinite(lower) ? lower : explore(f, best, bestH, -1, lower);
    right = std::isfinite(upper) ? upper : explore(f, best, bestH, +1, upper);
  }
  if (!(left < right) || !std::isfinite(left) || !std::isfinite(right)) {
    return PlotRange{std::isfinite(lower) ? lower : -1.0, std::isfinite(upper) ? upper : 1.0};
  }

  // Mass on a fine grid (midpoints, so that finite ends are never evaluated).
  const double width = (right - left) / gridIntervals;
  std::vector<double> h(gridIntervals);
  double top = -infinity;
  for (int i = 0; i < gridIntervals; ++i) {
    h[i] = f(left + (i + 0.5) * width);
    if (usable(h[i])) top = std::max(top, h[i]);
  }
  PlotRange range{left, right};
  if (!(top > -infinity)) return range;
  std::vector<double> mass(gridIntervals + 1, 0.0);
  for (int i = 0; i < gridIntervals; ++i) {
    mass[i + 1] = mass[i] + (usable(h[i]) ? std::exp(h[i] - top) : 0.0);
  }
  const double total = mass.back();
  if (!std::isinf(lower)) {
    range.xMin = lower;
  } else {
    int i = 0;
    while (i < gridIntervals && mass[i + 1] < plotTailMass * total) ++i;
    range.xMin = left + i * width;
  }
  if (!std::isinf(upper)) {
    range.xMax = upper;
  } else {
    int i = gridIntervals;
    while (i > 0 && total - mass[i - 1] < plotTailMass * total) --i;
    range.xMax = left + i * width;
  }
  if (!(range.xMin < range.xMax)) range = PlotRange{left, right};
  return range;
}
