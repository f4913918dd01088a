#include "density/gamma_density.h"

#include <cmath>

#include "density/gamln.h"

double ARSGammaDensity::logDensity(double x) const {
  if (x <= 0) return logZero;
  return (alpha - 1) * std::log(x) - x / beta - alpha * std::log(beta) - gamln(alpha);
}

double ARSGammaDensity::densityValue(double x) const {
  if (x <= 0) return 0.0;
  return std::exp(logDensity(x));
}
