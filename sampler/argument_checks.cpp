#include "sampler/argument_checks.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace ars::detail {

std::string number(double v) {
  // printf shows the sign bit of a NaN ("-nan"), which means nothing.
  if (std::isnan(v)) return "nan";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

std::string supportText(double lower, double upper) {
  return "[" + number(lower) + ", " + number(upper) + "]";
}

void checkSupport(double lower, double upper) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  if (!(lower < upper)) {
    throw std::invalid_argument("the support " + supportText(lower, upper) +
                                " must have its lower end below its upper end");
  }
  if (lower == inf || upper == -inf) {
    throw std::invalid_argument("the support " + supportText(lower, upper) +
                                " must contain finite numbers");
  }
}

void badLogDensity(double h, double x) {
  throw std::invalid_argument("logDensity is " + number(h) + " at x = " + number(x) +
                              "; it must be finite, or -infinity where the density is zero");
}

}  // namespace ars::detail
