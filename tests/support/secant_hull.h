#pragma once
// The derivative-free upper hull of a concave h through evaluated points:
// on [x_i, x_i+1] the lower of the secants through (x_i-1, x_i) and
// (x_i+1, x_i+2), both extended; beyond the outer points the outer secants.
// For tests and benchmarks of FastTable, which takes a hull ready-made.
#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <vector>

#include "sampler/fast_table.h"

struct SecantEnvelope {
  std::vector<double> x, h;
  std::vector<ars::detail::HullPiece> hull;
};

inline SecantEnvelope secantEnvelope(const std::function<double(double)>& logDensity,
                                     const std::vector<double>& points, double lower, double upper) {
  using ars::detail::HullPiece;
  SecantEnvelope e;
  e.x = points;
  for (double x : points) e.h.push_back(logDensity(x));
  const std::size_t n = points.size();
  if (n < 3) throw std::invalid_argument("secantEnvelope: fewer than three points");
  const auto& x = e.x;
  const auto& h = e.h;
  std::vector<double> s(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) s[i] = (h[i + 1] - h[i]) / (x[i + 1] - x[i]);
  auto add = [&](double left, double right, double at, double y, double slope) {
    if (left < right) e.hull.push_back(HullPiece{left, right, at, y, slope});
  };
  add(lower, x[0], x[0], h[0], s[0]);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (i == 0) {
      add(x[0], x[1], x[1], h[1], s[1]);
    } else if (i + 2 == n) {
      add(x[i], x[i + 1], x[i], h[i], s[i - 1]);
    } else {
      const double gap = s[i - 1] - s[i + 1];
      const double t = gap > 0 ? (s[i] - s[i + 1]) / gap : 0.5;
      const double z = std::min(x[i] + t * (x[i + 1] - x[i]), x[i + 1]);
      add(x[i], z, x[i], h[i], s[i - 1]);
      add(z, x[i + 1], x[i + 1], h[i + 1], s[i + 1]);
    }
  }
  add(x[n - 1], upper, x[n - 1], h[n - 1], s[n - 2]);
  return e;
}

inline std::vector<double> evenPoints(double from, double to, int count) {
  std::vector<double> points;
  for (int i = 0; i < count; ++i) points.push_back(from + (to - from) * i / (count - 1));
  return points;
}
