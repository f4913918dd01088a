// The engine's assertion interface for the package, in place of the engine's
// own assertion.cpp, which writes to stderr and ends the process: neither is
// acceptable inside R. A failed assertion is reported through the installed
// handler, if any, and then thrown, so that the entry point's guard turns it
// into an R error once the C++ frames are gone and R stays usable.
#include "sampler/assertion.h"

#include <cstdio>
#include <stdexcept>
#include <string>

// The arithmetic of the engine is fixed to the last bit; fast-math would
// change draws without a word.
#if defined(__FAST_MATH__)
#error "adaptiverejection must not be compiled with -ffast-math"
#endif

namespace {

AssertionHandler currentHandler = nullptr;

}  // namespace

AssertionHandler setAssertionHandler(AssertionHandler handler) {
  AssertionHandler previous = currentHandler;
  currentHandler = handler;
  return previous;
}

void assertionFailed(const char* expression, const char* path, int line) {
  char report[512];
  std::snprintf(report, sizeof report, "Assertion (%s) failed in \"%s\" on line %d\n",
                expression, path, line);
  if (currentHandler != nullptr) currentHandler(report);
  throw std::logic_error(std::string("internal error in adaptiverejection, please report: ") + report);
}
