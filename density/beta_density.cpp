#include "density/beta_density.h"

#include <cmath>

double ARSBetaDensity::logDensity(double x) const {
  if (x <= 0 || x >= 1) return logZero;
  return (alpha - 1) * std::log(x) + (beta - 1) * std::log(1 - x);
}

double ARSBetaDensity::densityValue(double x) const {
  if (x <= 0 || x >= 1) return 0.0;
  return std::exp(logDensity(x));
}
