#include "density/test_density.h"

#include <cmath>

#include "density/gamln.h"

double ARSTestDensity::logDensity(double x) const {
  if (x <= 0 || x >= 1) return logZero;
  const double t = (1 - x) / x;
  double sum = 0;
  sum += (priorAlpha - 1) * std::log(x);
  sum += (priorBeta - 1) * std::log(1 - x);
  sum += count * gamln(t);
  sum -= count * gamln(t * mean);
  sum -= count * gamln((1 - mean) * t);
  sum += t * mean * sumLog;
  sum += (1 - mean) * t * sumLogComplement;
  return sum;
}

double ARSTestDensity::densityValue(double x) const {
  if (x <= 0 || x >= 1) return 0.0;
  double h = logDensity(x);
  if (h < -12) {
    h = -12;
  } else if (h > 12) {
    h = 12;
  }
  return std::exp(h);
}
