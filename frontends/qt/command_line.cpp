#include "frontends/qt/command_line.h"

#include <cstring>

#ifndef ARS_VERSION
#error "ARS_VERSION must be defined by the build"
#endif

CommandLineRequest readCommandLine(int argc, const char* const argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == nullptr) break;
    if (std::strcmp(argv[i], "--help") == 0) return CommandLineRequest::help;
    if (std::strcmp(argv[i], "--version") == 0) return CommandLineRequest::version;
  }
  return CommandLineRequest::openWindow;
}

std::string lessonArgument(int argc, const char* const argv[]) {
  if (argc != 2 || argv[1] == nullptr || argv[1][0] == '-' || argv[1][0] == '\0') return "";
  return argv[1];
}

std::string helpText() {
  return "Usage: adaptive-rejection-sampler [--help | --version]\n"
         "       adaptive-rejection-sampler LESSON.json\n"
         "Opens a window that shows derivative-free adaptive rejection sampling at work.\n"
         "\n"
         "  --help     print this text and exit\n"
         "  --version  print the version and exit\n"
         "\n"
         "A lesson file given as the only argument is opened in the window.\n"
         "Other arguments are ignored. Set ARS_DEBUG=1 to let Qt's own diagnostics\n"
         "reach standard error.\n";
}

std::string versionText() { return "adaptive-rejection-sampler " ARS_VERSION "\n"; }
