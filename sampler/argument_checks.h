#pragma once
// What the samplers say about bad arguments, said the same way everywhere.
#include <string>

namespace ars::detail {

// A double in full precision, for messages ("nan" for any NaN).
std::string number(double v);
// "[lower, upper]", each in full precision.
std::string supportText(double lower, double upper);

// Throws std::invalid_argument unless lower < upper and neither end is
// infinite on the wrong side.
void checkSupport(double lower, double upper);

// h, the log-density evaluated at x; throws std::invalid_argument when it is
// NaN or +infinity.
double checkedLogDensity(double h, double x);

}  // namespace ars::detail
