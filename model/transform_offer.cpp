#include "model/transform_offer.h"

#include <cmath>
#include <vector>

#include "model/density_state.h"
#include "model/refusal.h"

bool inverseSqrtWouldHelp(const DensityState& d) {
  if (!d.isOther() || !d.otherDensity || !plainLogConcave(d.otherChoice) || refusedAsNotIntegrable(d)) {
    return false;
  }
  double xMin = d.otherXMin, xMax = d.otherXMax;
  visibleRange(*d.otherDensity, xMin, xMax);
  constexpr int n = 400;
  std::vector<double> h;
  double top = -INFINITY;
  for (int i = 0; i <= n; ++i) {
    h.push_back(d.otherDensity->logDensity(xMin + (xMax - xMin) * i / n));
    if (!std::isfinite(h.back())) return false;
    top = std::fmax(top, h.back());
  }
  // T of f over its peak, and its second differences: none may be above
  // what rounding leaves in them.
  std::vector<double> t;
  for (const double v : h) t.push_back(-std::exp(-(v - top) / 2));
  for (std::size_t i = 1; i + 1 < t.size(); ++i) {
    const double second = t[i - 1] - 2 * t[i] + t[i + 1];
    if (second > 1e-9 * (std::fabs(t[i - 1]) + 2 * std::fabs(t[i]) + std::fabs(t[i + 1]))) return false;
  }
  return true;
}

DensityChoice underInverseSqrt(const DensityChoice& choice) {
  DensityChoice c = choice;
  c.transform = ars::Transform::InverseSqrt;
  return c;
}
