#pragma once
// printf-style text for the status line and the panels, within 256 bytes.
#include <cstdio>
#include <string>

template <typename... Args>
std::string format(const char* pattern, Args... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, pattern, args...);
  return buffer;
}
