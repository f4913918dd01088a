// The command line: only --help and --version mean anything.
#include "frontends/qt/command_line.h"

#include <gtest/gtest.h>

namespace {

CommandLineRequest read(std::initializer_list<const char*> arguments) {
  std::vector<const char*> argv{"adaptive-rejection-sampler"};
  argv.insert(argv.end(), arguments);
  return readCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, OnlyHelpAndVersionAreRecognised) {
  EXPECT_EQ(read({}), CommandLineRequest::openWindow);
  EXPECT_EQ(read({"--version"}), CommandLineRequest::version);
  EXPECT_EQ(read({"--help"}), CommandLineRequest::help);
  // Qt's own options and anything else are ignored.
  EXPECT_EQ(read({"-reverse", "-stylesheet", "x.qss", "-qwindowtitle", "X"}), CommandLineRequest::openWindow);
  EXPECT_EQ(read({"-version", "-help", "--versions", "-h", "help"}), CommandLineRequest::openWindow);
  EXPECT_EQ(readCommandLine(0, nullptr), CommandLineRequest::openWindow);
}

TEST(CommandLine, TheFirstOfHelpAndVersionDecides) {
  EXPECT_EQ(read({"-reverse", "--version", "--help"}), CommandLineRequest::version);
  EXPECT_EQ(read({"--help", "--version"}), CommandLineRequest::help);
}

TEST(CommandLine, TextsNameTheProgramAndItsVersion) {
  EXPECT_EQ(versionText(), std::string("adaptive-rejection-sampler ") + ARS_VERSION + "\n");
  const std::string help = helpText();
  EXPECT_EQ(help.rfind("Usage: adaptive-rejection-sampler [--help | --version]\n", 0), 0u);
  EXPECT_NE(help.find("ARS_DEBUG=1"), std::string::npos);
  EXPECT_EQ(help.back(), '\n');
}

}  // namespace
