#include "density/mixture_inflections.h"

#include <algorithm>
#include <cmath>

namespace {

// log of each component's weighted density, up to the same constant.
double componentLog(double w, double mu, double sigma, double x) {
  const double z = (x - mu) / sigma;
  return std::log(w) - std::log(sigma) - z * z / 2;
}

// Where the two components are equally large (r1 = r2): the roots of a
// quadratic. Only near them do both shares matter, so only there can the
// curvature's sign change; a grid denser there finds narrow convex stretches.
std::vector<double> crossings(const NormalMixture& m) {
  // log(w1 phi1) - log(w2 phi2) = a x^2 + b x + c.
  const double p1 = 1 / (m.sigma1 * m.sigma1), p2 = 1 / (m.sigma2 * m.sigma2);
  const double a = (p2 - p1) / 2;
  const double b = m.mu1 * p1 - m.mu2 * p2;
  const double c = std::log(m.w / m.sigma1) - std::log((1 - m.w) / m.sigma2) - m.mu1 * m.mu1 * p1 / 2 +
                   m.mu2 * m.mu2 * p2 / 2;
  if (a == 0) return b == 0 ? std::vector<double>{} : std::vector<double>{-c / b};
  const double discriminant = b * b - 4 * a * c;
  if (discriminant < 0) return {-b / (2 * a)};  // nearest approach
  // The form without cancellation for the smaller root.
  const double q = -(b + std::copysign(std::sqrt(discriminant), b)) / 2;
  std::vector<double> roots{q / a};
  if (q != 0) roots.push_back(c / q);
  return roots;
}

bool convexAt(const NormalMixture& m, double x) { return mixtureLogCurvature(m, x) > 0; }

}  // namespace

double mixtureLogCurvature(const NormalMixture& m, double x) {
  const double l1 = componentLog(m.w, m.mu1, m.sigma1, x);
  const double l2 = componentLog(1 - m.w, m.mu2, m.sigma2, x);
  // Shares by the logistic function of the difference: no exp overflows.
  const double r1 = 1 / (1 + std::exp(l2 - l1));
  const double r2 = 1 / (1 + std::exp(l1 - l2));
  const double m1 = (x - m.mu1) / (m.sigma1 * m.sigma1);
  const double m2 = (x - m.mu2) / (m.sigma2 * m.sigma2);
  return -r1 / (m.sigma1 * m.sigma1) - r2 / (m.sigma2 * m.sigma2) + r1 * r2 * (m1 - m2) * (m1 - m2);
}

std::vector<double> mixtureInflections(const NormalMixture& m) {
  // A coarse grid over both components far into their tails, where one
  // component alone makes log f concave, and fine grids around the crossings
  // as wide as the switch from one component to the other.
  std::vector<double> grid;
  const double from = std::min(m.mu1 - 40 * m.sigma1, m.mu2 - 40 * m.sigma2);
  const double to = std::max(m.mu1 + 40 * m.sigma1, m.mu2 + 40 * m.sigma2);
  constexpr int coarse = 20000, fine = 4000;
  for (int i = 0; i <= coarse; ++i) grid.push_back(from + (to - from) * i / coarse);
  for (const double c : crossings(m)) {
    const double slopes = std::fabs((c - m.mu1) / (m.sigma1 * m.sigma1) - (c - m.mu2) / (m.sigma2 * m.sigma2));
    const double width = 40 / std::max(slopes, 1 / std::max(m.sigma1, m.sigma2));
    for (int i = 0; i <= fine; ++i) grid.push_back(c - width + 2 * width * i / fine);
  }
  std::sort(grid.begin(), grid.end());
  grid.erase(std::unique(grid.begin(), grid.end()), grid.end());

  std::vector<double> points;
  for (std::size_t i = 1; i < grid.size(); ++i) {
    double lo = grid[i - 1], hi = grid[i];
    const bool convexLo = convexAt(m, lo);
    if (convexLo == convexAt(m, hi)) continue;
    // Bisection until no double lies between the ends.
    for (;;) {
      const double mid = lo + (hi - lo) / 2;
      if (!(mid > lo && mid < hi)) break;
      (convexAt(m, mid) == convexLo ? lo : hi) = mid;
    }
    points.push_back(convexLo ? lo : hi);
  }
  return points;
}
