#pragma once
// The Student t distribution function, through the regularized incomplete
// beta function (continued fraction, modified Lentz).
#include <cmath>

inline double incompleteBetaFraction(double a, double b, double x) {
  const double tiny = 1e-300;
  double c = 1, d = 1 - (a + b) * x / (a + 1);
  d = 1 / (std::fabs(d) < tiny ? tiny : d);
  double h = d;
  for (int m = 1; m <= 1000; ++m) {
    const double m2 = 2.0 * m;
    for (double aa : {m * (b - m) * x / ((a - 1 + m2) * (a + m2)),
                      -(a + m) * (a + b + m) * x / ((a + m2) * (a + 1 + m2))}) {
      d = 1 + aa * d;
      d = 1 / (std::fabs(d) < tiny ? tiny : d);
      c = 1 + aa / c;
      if (std::fabs(c) < tiny) c = tiny;
      h *= d * c;
      if (aa < 0 && std::fabs(d * c - 1) < 1e-15) return h;
    }
  }
  return h;
}

inline double regularizedBeta(double a, double b, double x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1) / (a + b + 2)) return front * incompleteBetaFraction(a, b, x) / a;
  return 1 - front * incompleteBetaFraction(b, a, 1 - x) / b;
}

inline double studentTCdf(double x, double nu) {
  const double tail = 0.5 * regularizedBeta(0.5 * nu, 0.5, nu / (nu + x * x));
  return x > 0 ? 1 - tail : tail;
}
