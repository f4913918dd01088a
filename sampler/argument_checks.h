#pragma once
// What the samplers say about bad arguments, said the same way everywhere.
#include <limits>
#include <string>

namespace ars::detail {

// A double in full precision, for messages ("nan" for any NaN).
std::string number(double v);
// "[lower, upper]", each in full precision.
std::string supportText(double lower, double upper);

// Throws std::invalid_argument unless lower < upper and neither end is
// infinite on the wrong side.
void checkSupport(double lower, double upper);

// Throws the std::invalid_argument that names h, NaN or +infinity, at x.
[[noreturn]] void badLogDensity(double h, double x);

// h, the log-density evaluated at x; throws std::invalid_argument when it is
// NaN or +infinity. Inline: every evaluation passes here.
inline double checkedLogDensity(double h, double x) {
  if (!(h < std::numeric_limits<double>::infinity())) badLogDensity(h, x);
  return h;
}

}  // namespace ars::detail
