#pragma once
// The program takes no arguments except the two that every desktop program
// answers, --help and --version. Anything else is ignored; none of it reaches
// the toolkit.
#include <string>

enum class CommandLineRequest { openWindow, help, version };

// The first of --help and --version decides; without either the window opens.
CommandLineRequest readCommandLine(int argc, const char* const argv[]);

std::string helpText();
std::string versionText();
