#include "model/refusal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "model/reports.h"
#include "model/window_model.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr const char* notIntegrableStart = "its tail";

std::string numberText(double x) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3g", x);
  return buffer;
}

}  // namespace

void visibleRange(const FormulaDensity& d, double& xMin, double& xMax, double logDrop) {
  constexpr int n = 400;
  for (int round = 0; round < 4; ++round) {
    const double step = (xMax - xMin) / n;
    double top = -infinity;
    for (int i = 0; i <= n; ++i) {
      const double h = d.logDensity(xMin + step * i);
      if (std::isfinite(h)) top = std::max(top, h);
    }
    double from = xMax;
    double to = xMin;
    for (int i = 0; i <= n; ++i) {
      const double x = xMin + step * i;
      const double h = d.logDensity(x);
      if (std::isfinite(h) && h >= top - logDrop) {
        from = std::min(from, x);
        to = std::max(to, x);
      }
    }
    if (!(from <= to)) break;
    const double newMin = std::max(xMin, from - step);
    const double newMax = std::min(xMax, to + step);
    if (newMax - newMin > 0.9 * (xMax - xMin)) break;
    xMin = newMin;
    xMax = newMax;
  }
}

// Three points proving the density not log-concave: the middle one below
// the chord of the outer two, on a grid over the plotted range. Otherwise
// its mass does not stay finite towards an unbounded end.
std::string refusalSentence(const FormulaDensity& d, double xMin, double xMax, ProofHighlight* proof) {
  constexpr int n = 400;
  visibleRange(d, xMin, xMax);
  std::vector<HullPoint> grid;
  for (int i = 0; i <= n; ++i) {
    const double x = xMin + (xMax - xMin) * i / n;
    const double h = d.logDensity(x);
    if (std::isfinite(h)) grid.push_back({x, h});
  }
  for (std::size_t k : {std::size_t{40}, std::size_t{10}, std::size_t{1}}) {
    double widest = 0.0;
    std::size_t best = 0;
    for (std::size_t j = k; j + k < grid.size(); ++j) {
      const HullPoint& a = grid[j - k];
      const HullPoint& b = grid[j];
      const HullPoint& c = grid[j + k];
      if (!ARSSampler::belowChord(a, b, c)) continue;
      const double gap = a.h + (c.h - a.h) * (b.x - a.x) / (c.x - a.x) - b.h;
      if (gap > widest) {
        widest = gap;
        best = j;
      }
    }
    if (widest > 0) {
      if (proof != nullptr) {
        *proof = ProofHighlight{grid[best - k].x, grid[best - k].h, grid[best].x,
                                grid[best].h,     grid[best + k].x, grid[best + k].h, "", true};
      }
      return "the density at x = " + numberText(grid[best].x) + " lies below the chord from " +
             numberText(grid[best - k].x) + " to " + numberText(grid[best + k].x) +
             " on the log scale, so it is not log-concave.";
    }
  }
  if (d.upper() == infinity || d.lower() == -infinity) {
    return std::string(notIntegrableStart) +
           " does not fall off fast enough towards infinity: the density is not integrable "
           "there (or not log-concave far out).";
  }
  return "the points the sampler evaluated prove it not log-concave.";
}

void refuse(WindowModel& model, Reports& reports) {
  model.stepping.notLogConcaveShown = true;
  DensityState& d = model.density;
  if (d.isOther()) {
    if (d.refusal.empty()) d.refusal = refusalSentence(*d.otherDensity, d.otherXMin, d.otherXMax, nullptr);
    // Refused before any envelope: the grid's three points are the proof on screen.
    if (!model.stepping.proof && d.refusalProof) model.stepping.proof = d.refusalProof;
  }
  reports.refused();
}

std::string otherDensityReport(const DensityState& density) {
  return density.refusal.empty() ? "the sampler refuses it." : density.refusal;
}

bool refusedAsNotIntegrable(const DensityState& density) {
  return density.refusal.rfind(notIntegrableStart, 0) == 0;
}
