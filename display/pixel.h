#pragma once
// Conversion of plotted values to pixel coordinates, truncating toward zero.
// Values beyond the int range, infinities and NaN would be undefined
// behaviour; they saturate to a coordinate far outside any screen instead,
// so a line towards them still runs off the edge of the window.
#include <cmath>

constexpr int pixelLimit = 1 << 20;

inline int toPixel(double value) {
  if (!(value > -pixelLimit)) return std::isnan(value) ? pixelLimit : -pixelLimit;
  if (!(value < pixelLimit)) return pixelLimit;
  return static_cast<int>(value);
}
