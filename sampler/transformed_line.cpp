#include "sampler/transformed_line.h"

#include <cmath>
#include <limits>

namespace ars::detail {

double toT(Transform transform, double relative) {
  return transform == Transform::Log ? relative : -std::exp(-0.5 * relative);
}

double fromT(Transform transform, double t) {
  if (transform == Transform::Log) return std::exp(t);
  return t < 0 ? 1.0 / (t * t) : std::numeric_limits<double>::infinity();
}

// Under -1/sqrt the density is 1/u^2 with u = -t > 0, and the area over a
// finite [l, r] is (r - l) / (u_l u_r): no division by a slope near 0.
double lineArea(Transform transform, const Line& line, double l, double r) {
  const double s = line.slope;
  if (transform == Transform::InverseSqrt) {
    if (!std::isfinite(l)) return 1.0 / (s * -line.at(r));
    if (!std::isfinite(r)) return -1.0 / (s * -line.at(l));
    const double ul = -line.at(l), ur = -line.at(r);
    if (!(ul > 0 && ur > 0)) return std::numeric_limits<double>::quiet_NaN();
    return (r - l) / (ul * ur);
  }
  if (!std::isfinite(l)) return std::exp(line.at(r)) / s;
  if (!std::isfinite(r)) return std::exp(line.at(l)) / -s;
  // From the higher end, so that a piece far below the top underflows to 0
  // rather than giving 0 * inf.
  const double d = r - l;
  if (s > 0) return std::exp(line.at(r)) * (-std::expm1(-s * d) / s);
  return s == 0 ? std::exp(line.at(l)) * d : std::exp(line.at(l)) * (std::expm1(s * d) / s);
}

}  // namespace ars::detail
