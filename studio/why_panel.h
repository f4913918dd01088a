#pragma once
// The "why" of the last step: the candidate's numbers and the inequality
// that decided it, as lines of text for a panel beside the plot.
#include <string>
#include <vector>

struct WindowModel;

struct WhyLine {
  std::string text;
  // The decision's line takes the colour of the candidate's fate.
  bool decision = false;
};

std::vector<WhyLine> whyLines(const WindowModel& model);
