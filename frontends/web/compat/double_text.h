#pragma once
// Text of doubles as std::to_chars and std::from_chars give it, over printf
// and strtod: emscripten's libc++ has the integer overloads only. Compared
// with the standard library's own by a native test.
#include <charconv>

namespace double_text {

// The shortest text that reads back as `value`, fixed or scientific,
// whichever is shorter (fixed on a tie): std::to_chars(first, last, value).
std::to_chars_result shortest(char* first, char* last, double value);
// printf's %.*g: std::to_chars(first, last, value, chars_format::general, precision).
std::to_chars_result general(char* first, char* last, double value, int precision);
// A decimal number without leading space or '+', as std::from_chars reads one.
std::from_chars_result parse(const char* first, const char* last, double& value);

}  // namespace double_text
