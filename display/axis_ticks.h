#pragma once
// Ticks at round values for an axis of any location and scale: steps of 1, 2
// or 5 times a power of ten (so 0 is a tick wherever it lies in range), each
// label with the digits its step needs, and an offset subtracted from every
// label when the location dwarfs the scale ("x − 8e8" under labels -4 … 4).
#include <functional>
#include <string>
#include <vector>

struct AxisTick {
  double value;       // where the tick stands, in data units
  std::string label;  // its value less the offset
};

struct AxisTicks {
  std::vector<AxisTick> ticks;
  double offset = 0.0;
  std::string offsetText;  // empty without an offset
};

// Room a label takes along the axis, in pixels.
using LabelExtent = std::function<int(const std::string&)>;

// The finest round step with at most maxIntervals intervals over [low, high]
// whose labels, laid along `pixels` pixels, keep at least `gap` pixels apart.
// No ticks for an empty or non-finite range.
AxisTicks roundTicks(double low, double high, int pixels, const LabelExtent& extent, int gap,
                     int maxIntervals = 8);

// x with the digits that tell it apart at a thousandth of `span`, the width
// of the range it lies in: "800000000.123", "-3.51e-07"; "0" where it
// cannot be told from zero.
std::string valueAtResolution(double x, double span);

// A number in the fewest characters that read back to it: "800000000" is
// "8e8", "0.001" stays; the offset's text.
std::string shortNumber(double value);
