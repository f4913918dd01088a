// The browser build's <charconv> for doubles (printf and strtod underneath)
// against the standard library's own: the numbers in formulas, captions and
// lessons must read and print alike in both builds.
#include "frontends/web/compat/double_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string ours(double v) {
  char buffer[64];
  return std::string(buffer, double_text::shortest(buffer, buffer + sizeof buffer, v).ptr);
}

std::string library(double v) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

std::string oursGeneral(double v, int precision) {
  char buffer[64];
  return std::string(buffer, double_text::general(buffer, buffer + sizeof buffer, v, precision).ptr);
}

std::string libraryGeneral(double v, int precision) {
  char buffer[64];
  return std::string(buffer,
                     std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, precision).ptr);
}

std::vector<double> awkwardValues() {
  const double inf = std::numeric_limits<double>::infinity();
  return {0.0, -0.0, 1.0, -1.0, 0.1, 0.3, 2.5, 100.0, 1e21, 1e22, 123456789012345680000.0, 1e-5, 1e-7,
          0.000123, 5e-324, 1.7976931348623157e308, 2.2250738585072014e-308, 1.0 / 3.0, -2.0 / 3.0,
          9007199254740993.0, 0.66, -0.66, 1e15, 1e16, 1e17, 123.456, 1234567.0, 12345678.0, inf, -inf,
          3.14159265358979, 299792458.0, 6.02214076e23, 1.5e-10};
}

TEST(DoubleText, ShortestMatchesToCharsOnAwkwardAndRandomValues) {
  for (double v : awkwardValues()) EXPECT_EQ(ours(v), library(v)) << library(v);
  std::mt19937_64 bits(20261209);
  std::mt19937_64 decimals(7);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 0; i < 10000; ++i) {
    // Every bit pattern, and short decimals as people type them.
    std::uint64_t pattern = bits();
    double v;
    std::memcpy(&v, &pattern, sizeof v);
    if (std::isnan(v)) continue;
    ASSERT_EQ(ours(v), library(v));
    const double typed = static_cast<double>(decimals() % 100000) * std::pow(10.0, exponent(decimals));
    ASSERT_EQ(ours(typed), library(typed));
  }
}

TEST(DoubleText, GeneralMatchesToChars) {
  for (double v : awkwardValues()) {
    for (int precision : {1, 4, 6, 17}) EXPECT_EQ(oursGeneral(v, precision), libraryGeneral(v, precision));
  }
}

TEST(DoubleText, ParseReadsWhatFromCharsReads) {
  const char* texts[] = {"1",     "-2.5",  ".5",   "5.",    "1e3",  "1E-3", "-0",    "0x1p3", "1e",    "1e+",
                         "+1",    " 1",    "-",    "",      ".",    "-.5",  "1e400", "1e-400", "inf",  "-infinity",
                         "nan",   "12abc", "3.14159265358979323846", "0.1e-2x", "--1", "-+1", "4.9e-324"};
  for (const char* text : texts) {
    const char* last = text + std::strlen(text);
    double a = 42.0;
    double b = 42.0;
    const auto x = double_text::parse(text, last, a);
    const auto y = std::from_chars(text, last, b);
    EXPECT_EQ(x.ec, y.ec) << '"' << text << '"';
    EXPECT_EQ(x.ptr - text, y.ptr - text) << '"' << text << '"';
    if (y.ec == std::errc()) {
      EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << '"' << text << '"';
    }
  }
}

}  // namespace
