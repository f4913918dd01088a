#pragma once
// The program takes no arguments except the two that every desktop program
// answers, --help and --version, and a lesson file as the only argument.
// Anything else is ignored; none of it reaches the toolkit.
#include <string>

enum class CommandLineRequest { openWindow, help, version };

// The first of --help and --version decides; without either the window opens.
CommandLineRequest readCommandLine(int argc, const char* const argv[]);

// The lesson file given as the only argument (not an option), or "".
std::string lessonArgument(int argc, const char* const argv[]);

std::string helpText();
std::string versionText();
