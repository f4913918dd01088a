#pragma once
// Assertions on programming errors (missing pointers). A failure is reported
// through a replaceable handler and then ends the process with status 1
// without running exit handlers. The engine knows no window system: the
// default handler writes the report to standard error; the application
// installs one that shows it in a message box.

using AssertionHandler = void (*)(const char* report);

// Installs a handler (nullptr restores the default) and returns the previous one.
AssertionHandler setAssertionHandler(AssertionHandler handler);

// "Assertion (<expression>) failed in \"<path>\" on line <line>\n"
[[noreturn]] void assertionFailed(const char* expression, const char* path, int line);

#define ARS_ASSERT(condition, text, path, line) \
  ((condition) ? static_cast<void>(0) : assertionFailed(text, path, line))
