#pragma once
// Straight lines in a transformed scale t = T(f) and what they mean as
// densities: T_0 = log (the line is an exponential) or T_{-1/2}(f) = -1/sqrt(f)
// (the line t < 0 is 1/t^2), with their areas in closed form.
#include "sampler/engine_export.h"

namespace ars {

enum class Transform { Log, InverseSqrt };

namespace detail {

// t(x) = t + slope (x - anchor); the anchor is finite and near the piece it
// serves, so that far pieces lose no digits to cancellation.
struct Line {
  double anchor = 0, t = 0, slope = 0;
  double at(double x) const { return t + slope * (x - anchor); }
};

// T of a density exp(relative), relative = h - max h (<= 0 at the points).
ARS_API double toT(Transform transform, double relative);
// The density whose T is t: exp(t), or 1/t^2 for t < 0 (infinite otherwise).
ARS_API double fromT(Transform transform, double t);
// Integral of fromT(line) over [l, r]; either end may be infinite when the
// line descends towards it. NaN or negative when the line gives no finite area.
ARS_API double lineArea(Transform transform, const Line& line, double l, double r);

}  // namespace detail
}  // namespace ars
