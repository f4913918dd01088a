#include "density/plot_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
// Beyond this drop from the highest value the density no longer shows.
constexpr double visibleDrop = 25.0;
constexpr int gridIntervals = 4000;
// The grid closes in on mass that covers fewer cells than this.
constexpr int zoomCells = 400;
constexpr int maxZoomRounds = 40;
constexpr double farEndGap = 4.0;

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

// Where the mass on a grid of [left, right] starts and ends, each tail
// beyond holding less than plotTailMass (midpoints, so that the ends
// themselves are never evaluated).
struct MassCut {
  bool found = false;
  double xMin = 0.0;
  double xMax = 0.0;
};

MassCut cutTails(const std::function<double(double)>& f, double left, double right) {
  const double width = (right - left) / gridIntervals;
  std::vector<double> h(gridIntervals);
  double top = -infinity;
  for (int i = 0; i < gridIntervals; ++i) {
    h[i] = f(left + (i + 0.5) * width);
    if (usable(h[i])) top = std::max(top, h[i]);
  }
  if (!(top > -infinity)) return {};
  std::vector<double> mass(gridIntervals + 1, 0.0);
  for (int i = 0; i < gridIntervals; ++i) {
    mass[i + 1] = mass[i] + (usable(h[i]) ? std::exp(h[i] - top) : 0.0);
  }
  const double total = mass.back();
  int first = 0;
  while (first < gridIntervals && mass[first + 1] < plotTailMass * total) ++first;
  int last = gridIntervals;
  while (last > 0 && total - mass[last - 1] < plotTailMass * total) --last;
  MassCut cut{true, left + first * width, left + last * width};
  if (!(cut.xMin < cut.xMax)) return {};
  return cut;
}

// A finite end stays in view unless the density lives so far from it that
// the curve would shrink to a spike: the gap may be up to farEndGap times
// the width of the mass.
PlotRange keepFiniteEnds(PlotRange cut, double lower, double upper) {
  const double mass = cut.xMax - cut.xMin;
  PlotRange range = cut;
  if (std::isfinite(lower) && cut.xMin - lower <= farEndGap * mass) range.xMin = lower;
  if (std::isfinite(upper) && upper - cut.xMax <= farEndGap * mass) range.xMax = upper;
  return range;
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

  // The mass on a fine grid, cut where the tails hold less than plotTailMass;
  // where it lies in a few cells of the grid (a narrow density found far
  // away, or a spike in a wide support), the grid closes in on it.
  PlotRange range{left, right};
  for (int round = 0; round < maxZoomRounds; ++round) {
    const MassCut cut = cutTails(f, left, right);
    if (!cut.found) break;
    // Mass up to the edge of the stretch at an unbounded end: the density
    // does not fall off there (it is not integrable), and no closer look
    // helps; the stretch is shown as found.
    if ((std::isinf(upper) && cut.xMax >= right) || (std::isinf(lower) && cut.xMin <= left)) {
      return PlotRange{std::isfinite(lower) ? lower : cut.xMin, std::isfinite(upper) ? upper : cut.xMax};
    }
    range = PlotRange{cut.xMin, cut.xMax};
    const double cell = (right - left) / gridIntervals;
    if (cut.xMax - cut.xMin >= zoomCells * cell) break;
    // No finer grid tells more once the cells reach the doubles' spacing.
    if (cell <= 64 * std::numeric_limits<double>::epsilon() * std::max(std::fabs(left), std::fabs(right)))
      break;
    // A margin beyond the coarse cut, whose tails a few cells measure poorly.
    const double margin = cell + (cut.xMax - cut.xMin) / 4;
    left = std::max(lower, cut.xMin - margin);
    right = std::min(upper, cut.xMax + margin);
  }
  return keepFiniteEnds(range, lower, upper);
}
