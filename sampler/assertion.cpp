#include "sampler/assertion.h"

#include <cstdio>
#include <cstdlib>

namespace {

void writeToStandardError(const char* report) {
  std::fputs(report, stderr);
  std::fflush(stderr);
}

AssertionHandler currentHandler = writeToStandardError;

}  // namespace

AssertionHandler setAssertionHandler(AssertionHandler handler) {
  AssertionHandler previous = currentHandler;
  currentHandler = handler ? handler : writeToStandardError;
  return previous;
}

void assertionFailed(const char* expression, const char* path, int line) {
  char report[512];
  std::snprintf(report, sizeof report, "Assertion (%s) failed in \"%s\" on line %d\n",
                expression, path, line);
  currentHandler(report);
  std::_Exit(1);
}
