#include "display/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Tick indices beyond this no longer count in whole steps.
constexpr double largestIndex = 4503599627370496.0;  // 2^52
// Labels of more significant digits than this read better against an offset.
constexpr int offsetDigits = 5;
// Fixed-point labels stay within these bounds; beyond them "2e-7" and "3e6".
constexpr int finestFixedPower = -4;
constexpr double largestFixed = 1e6;

// m times 10^power, m being 1, 2 or 5; exact for the powers a double can hold.
struct Step {
  int m;
  int power;
  double size() const {
    const double tens = std::pow(10.0, std::abs(power));
    return power >= 0 ? m * tens : m / tens;
  }
  Step coarser() const { return m == 1 ? Step{2, power} : m == 2 ? Step{5, power} : Step{1, power + 1}; }
};

// The finest round step that makes at most maxIntervals intervals.
Step firstStep(double span, int maxIntervals) {
  Step step{1, static_cast<int>(std::floor(std::log10(span / maxIntervals))) - 1};
  while (span / step.size() > maxIntervals) step = step.coarser();
  return step;
}

std::string trimmedScientific(double value, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", digits, value);
  std::string text = buffer;
  const std::size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  const int exponent = std::atoi(text.c_str() + e + 1);
  return mantissa + "e" + std::to_string(exponent);
}

// n steps: fixed with the step's decimals, or in the short scientific form.
std::string tickLabel(double n, const Step& step, bool scientific) {
  if (n == 0) {
    if (scientific) return "0";
    n = 0;  // not "-0.0"
  }
  const double value = n * step.size();
  if (scientific) {
    // One digit more than the step needs; trailing zeros go.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int digits = std::max(0, std::min(15, exponent - step.power + 1));
    return trimmedScientific(value, digits);
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", std::max(0, -step.power), value);
  return buffer;
}

bool labelsApart(const std::vector<AxisTick>& ticks, double low, double high, int pixels,
                 const LabelExtent& extent, int gap) {
  const double perUnit = pixels / (high - low);
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    const double apart = (ticks[i].value - ticks[i - 1].value) * perUnit;
    const double needed = (extent(ticks[i - 1].label) + extent(ticks[i].label)) / 2.0 + gap;
    if (apart < needed) return false;
  }
  return true;
}

}  // namespace

std::string shortNumber(double value) {
  if (value == 0) return "0";
  char buffer[64];
  int precision = 1;
  for (; precision < 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  const std::string scientific = trimmedScientific(value, precision - 1);
  const double magnitude = std::fabs(value);
  if (magnitude < 1e-3 || magnitude >= largestFixed) return scientific;
  // Plain digits while they are short or hardly longer: "10000", not "1e4".
  const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  std::snprintf(buffer, sizeof buffer, "%.*f", std::max(0, precision - 1 - exponent), value);
  const std::string fixed = buffer;
  return fixed.size() <= 6 || fixed.size() <= scientific.size() + 1 ? fixed : scientific;
}

std::string valueAtResolution(double x, double span) {
  const double resolution = span / 1000;
  if (!(resolution > 0) || !std::isfinite(x)) return shortNumber(x);
  if (std::fabs(x) < resolution / 2) return "0";
  const double digits = std::floor(std::log10(std::fabs(x))) - std::floor(std::log10(resolution)) + 1;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", static_cast<int>(std::max(1.0, std::min(17.0, digits))), x);
  return buffer;
}

AxisTicks roundTicks(double low, double high, int pixels, const LabelExtent& extent, int gap,
                     int maxIntervals) {
  AxisTicks result;
  if (!(std::isfinite(low) && std::isfinite(high) && low < high) || pixels <= 0 || maxIntervals < 1) {
    return result;
  }
  const double span = high - low;
  Step step = firstStep(span, maxIntervals);

  // An offset, a round number near the middle, when the labels would need
  // more digits than a reader can take in at a glance.
  const double largest = std::max(std::fabs(low), std::fabs(high));
  if (std::floor(std::log10(largest)) - step.power >= offsetDigits) {
    const double unit = std::pow(10.0, std::ceil(std::log10(span)) + 1);
    result.offset = std::round((low + high) / 2 / unit) * unit;
    if (result.offset != 0) result.offsetText = shortNumber(result.offset);
  }

  for (int tries = 0; tries < 64; ++tries, step = step.coarser()) {
    const double size = step.size();
    // A little slack, so that a tick on an end survives the division's rounding.
    const double first = std::ceil(low / size - 1e-9);
    const double last = std::floor(high / size + 1e-9);
    if (!(std::fabs(first) < largestIndex && std::fabs(last) < largestIndex)) return AxisTicks{};
    const double offsetSteps = std::round(result.offset / size);
    const double largestLabel = std::max(std::fabs(first - offsetSteps), std::fabs(last - offsetSteps)) * size;
    const bool scientific = step.power < finestFixedPower || largestLabel >= largestFixed;
    std::vector<AxisTick> ticks;
    for (double n = first; n <= last; ++n) {
      ticks.push_back({n * size, tickLabel(n - offsetSteps, step, scientific)});
    }
    if (ticks.size() <= 1 || labelsApart(ticks, low, high, pixels, extent, gap)) {
      result.ticks = std::move(ticks);
      return result;
    }
  }
  return AxisTicks{};
}
