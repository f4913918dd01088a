#pragma once
// The transformation and split points of a typed density as people write
// them: in lesson files ("log" or "inverse-sqrt") and in the density
// dialog ("-1.2, 0, 1.2"), with the checks both share.
#include <string>
#include <vector>

#include "sampler/transformed_line.h"

// "log" or "inverse-sqrt".
const char* transformName(ars::Transform transform);
// False for any other name.
bool transformNamed(const std::string& name, ars::Transform& transform);

// Why these split points cannot cut (lower, upper) ("" when they can):
// finite, increasing and strictly inside the support.
std::string splitsProblem(const std::vector<double>& splits, double lower, double upper);

// Numbers separated by commas or blanks; "" when read, else why not.
std::string parseSplits(const std::string& text, std::vector<double>& splits);
// The split points as parseSplits reads them back, to the last digit.
std::string splitsText(const std::vector<double>& splits);
