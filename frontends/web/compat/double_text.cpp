#include "frontends/web/compat/double_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace double_text {
namespace {

std::to_chars_result put(char* first, char* last, const std::string& text) {
  if (static_cast<std::size_t>(last - first) < text.size()) return {last, std::errc::value_too_large};
  std::memcpy(first, text.data(), text.size());
  return {first + text.size(), std::errc()};
}

// Digits and decimal exponent of the fewest significant digits that read back
// as v (v finite and positive): v = 0.d1d2... * 10^(exponent + 1).
void fewestDigits(double v, std::string& digits, int& exponent) {
  char buffer[40];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, v);
    if (precision == 17 || std::strtod(buffer, nullptr) == v) break;
  }
  const char* e = std::strchr(buffer, 'e');
  digits.clear();
  for (const char* p = buffer; p != e; ++p) {
    if (*p != '.') digits += *p;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  exponent = std::atoi(e + 1);
}

std::string fixedText(double v, const std::string& digits, int exponent) {
  const int n = static_cast<int>(digits.size());
  // A whole number is written out exactly, every digit of the double.
  if (exponent >= n - 1) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", v);
    return buffer;
  }
  if (exponent >= 0) return digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
  return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
}

std::string scientificText(const std::string& digits, int exponent) {
  std::string s = digits.substr(0, 1);
  if (digits.size() > 1) s += "." + digits.substr(1);
  char e[16];
  std::snprintf(e, sizeof e, "e%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
  return s + e;
}

}  // namespace

std::to_chars_result shortest(char* first, char* last, double value) {
  if (std::isnan(value)) return put(first, last, std::signbit(value) ? "-nan" : "nan");
  std::string sign = std::signbit(value) ? "-" : "";
  if (std::isinf(value)) return put(first, last, sign + "inf");
  if (value == 0.0) return put(first, last, sign + "0");
  std::string digits;
  int exponent = 0;
  fewestDigits(std::fabs(value), digits, exponent);
  const std::string fixed = fixedText(std::fabs(value), digits, exponent);
  const std::string scientific = scientificText(digits, exponent);
  return put(first, last, sign + (scientific.size() < fixed.size() ? scientific : fixed));
}

std::to_chars_result general(char* first, char* last, double value, int precision) {
  if (std::isnan(value)) return put(first, last, std::signbit(value) ? "-nan" : "nan");
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
  return put(first, last, buffer);
}

std::from_chars_result parse(const char* first, const char* last, double& value) {
  // strtod also takes space, '+', hexadecimals and a text without end: keep
  // to what from_chars reads, on a copy that ends.
  const std::string text(first, last);
  const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  if (start >= text.size()) return {first, std::errc::invalid_argument};
  const char c = text[start];
  const bool decimal = (c >= '0' && c <= '9') || c == '.';
  const bool word = c == 'i' || c == 'I' || c == 'n' || c == 'N';
  if (!decimal && !word) return {first, std::errc::invalid_argument};
  if (decimal && text.size() > start + 1 && text[start] == '0' && (text[start + 1] == 'x' || text[start + 1] == 'X')) {
    value = text[0] == '-' ? -0.0 : 0.0;
    return {first + start + 1, std::errc()};
  }
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return {first, std::errc::invalid_argument};
  const char* stop = first + (end - text.c_str());
  if (errno == ERANGE && (std::isinf(v) || v == 0.0)) return {stop, std::errc::result_out_of_range};
  value = v;
  return {stop, std::errc()};
}

}  // namespace double_text
