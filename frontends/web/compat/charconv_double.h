#pragma once
// Force-included into the WebAssembly build of the core: the floating-point
// overloads of <charconv> that emscripten's libc++ lacks, over double_text.
#include <charconv>

#include "frontends/web/compat/double_text.h"

#if defined(__EMSCRIPTEN__)
namespace std {
inline to_chars_result to_chars(char* first, char* last, double value) {
  return double_text::shortest(first, last, value);
}
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision) {
  // The core asks for general only; the others would need more than printf's %g.
  return format == chars_format::general ? double_text::general(first, last, value, precision)
                                         : to_chars_result{first, errc::invalid_argument};
}
inline from_chars_result from_chars(const char* first, const char* last, double& value) {
  return double_text::parse(first, last, value);
}
}  // namespace std
#endif
