#include "density/transform_choice.h"

#include <cmath>

#include "density/formula_density.h"

const char* transformName(ars::Transform transform) {
  return transform == ars::Transform::InverseSqrt ? "inverse-sqrt" : "log";
}

bool transformNamed(const std::string& name, ars::Transform& transform) {
  for (const ars::Transform t : {ars::Transform::Log, ars::Transform::InverseSqrt}) {
    if (name == transformName(t)) {
      transform = t;
      return true;
    }
  }
  return false;
}

std::string splitsProblem(const std::vector<double>& splits, double lower, double upper) {
  for (std::size_t i = 0; i < splits.size(); ++i) {
    const double s = splits[i];
    const std::string named = "The split point " + supportEndText(s);
    if (!std::isfinite(s)) return "Every split point must be a finite number.";
    if (!(s > lower && s < upper)) {
      return named + " lies outside the support (" + supportEndText(lower) + ", " + supportEndText(upper) + ").";
    }
    if (i > 0 && !(s > splits[i - 1])) return named + " does not lie above the one before it.";
  }
  return "";
}

std::string parseSplits(const std::string& text, std::vector<double>& splits) {
  std::vector<double> read;
  std::string word;
  // One more separator at the end closes the last number.
  for (const char c : text + " ") {
    if (c != ',' && c != ' ' && c != '\t' && c != ';') {
      word += c;
      continue;
    }
    if (word.empty()) continue;
    double v = 0;
    if (!parseSupportEnd(word, v) || !std::isfinite(v)) return "\"" + word + "\" is not a split point (a number).";
    read.push_back(v);
    word.clear();
  }
  splits = read;
  return "";
}

std::string splitsText(const std::vector<double>& splits) {
  std::string text;
  for (std::size_t i = 0; i < splits.size(); ++i) text += (i ? ", " : "") + supportEndText(splits[i]);
  return text;
}
