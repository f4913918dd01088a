#pragma once
#include <cmath>

// The squeeze test e / hull >= uniform2, where e = exp(shifted), or exactly 0
// when shifted <= -50, and logHeight = ln(uniform2 * hull) (NaN when that
// product is not positive). Where shifted and logHeight differ by far more
// than exp, log, the product and the division can round (a few units in the
// last place each), the comparison of the logarithms has the same outcome as
// the direct test and saves the exponential; within that margin, and where
// the product is not a normal number, the direct test decides. (Where exp
// overflows, shifted exceeds logHeight by more than 9 and both accept.)
inline bool squeezeHolds(double shifted, double hull, double uniform2, double logHeight) {
  if (shifted > -50 && logHeight > -700 && logHeight < 700) {
    const double gap = shifted - logHeight;
    const double margin = 1e-12 * (4 + std::fabs(shifted) + std::fabs(logHeight));
    if (gap > margin) return true;
    if (gap < -margin) return false;
  }
  const double e = shifted > -50 ? std::exp(shifted) : 0.0;
  return e / hull >= uniform2;
}
