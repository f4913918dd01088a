#include "studio/lesson_json.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <utility>
#include <vector>

#include "density/density_kinds.h"
#include "density/formula_density.h"
#include "density/transform_choice.h"
#include "model/view_options.h"

namespace {

using nlohmann::json;

std::string field(const char* key) { return std::string("The field \"") + key + "\""; }

// A text from the file as JSON writes it: in quotes, control characters
// escaped, so that a NUL does not cut the message short.
std::string quoted(const std::string& text) { return json(text).dump(-1, ' ', false, json::error_handler_t::replace); }

// Every key a lesson may hold.
constexpr const char* knownKeys[] = {
    "title", "builtin", "density", "logDensity", "lower", "upper", "transform", "splits", "scale",
    "seed", "steps", "darts", "speed", "wholeEnvelope", "histogram", "largerPoints", "twoBeats", "tScale",
    "acceptedValues", "plainBeside", "why", "progress", "theme", "fixedAxis"};

// Edits (insert, delete, replace, ignoring case) from a to b.
std::size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      const std::size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = row[j];
      row[j] = next;
    }
  }
  return row[b.size()];
}

// A misspelt key would otherwise be dropped without a word and its value
// silently left to the default.
std::string unknownKeyProblem(const json& object) {
  for (const auto& item : object.items()) {
    const std::string& key = item.key();
    if (std::find_if(std::begin(knownKeys), std::end(knownKeys), [&key](const char* k) { return key == k; }) !=
        std::end(knownKeys)) {
      continue;
    }
    const char* nearest = nullptr;
    std::size_t best = 0;
    for (const char* k : knownKeys) {
      const std::size_t d = editDistance(key, k);
      if (nearest == nullptr || d < best) {
        nearest = k;
        best = d;
      }
    }
    // Near enough to be a slip: two edits, or a third of a longer word.
    const std::string known(nearest);
    if (best <= std::max<std::size_t>(2, known.size() / 3)) {
      return "The file has an unknown key " + quoted(key) + " (did you mean \"" + known + "\"?).";
    }
    std::string all;
    for (const char* k : knownKeys) all += std::string(all.empty() ? "\"" : ", \"") + k + "\"";
    return "The file has an unknown key " + quoted(key) + "; a lesson's keys are " + all + ".";
  }
  return "";
}

// The value under key, or null when the object has none.
const json& valueOf(const json& object, const char* key) {
  static const json absent;
  const auto found = object.find(key);
  return found == object.end() ? absent : *found;
}

// A support end: a finite number, or the string "-inf" / "inf" (a number
// also as a string, as people type them).
std::string readEnd(const json& object, const char* key, double& value) {
  if (!object.contains(key)) return field(key) + " is missing.";
  const json& v = object[key];
  if (v.is_number() && std::isfinite(v.get<double>())) {
    value = v.get<double>();
    return "";
  }
  if (v.is_string() && parseSupportEnd(v.get<std::string>(), value)) return "";
  return field(key) + " must be a number, \"-inf\" or \"inf\".";
}

// A whole number from low to high, written as a JSON number.
std::string readWhole(const json& object, const char* key, int low, int high, int& value) {
  const json& v = valueOf(object, key);
  const double d = v.is_number() ? v.get<double>() : 0.0;
  if (!v.is_number() || d != std::floor(d) || d < low || d > high) {
    return field(key) + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
           ".";
  }
  value = static_cast<int>(d);
  return "";
}

std::string readFlag(const json& object, const char* key, std::optional<bool>& value) {
  if (!object.contains(key)) return "";
  const json& v = object[key];
  if (!v.is_boolean()) return field(key) + " must be true or false.";
  value = v.get<bool>();
  return "";
}

// Steps a second, as the status line shows the animation's speed.
double stepsPerSecond(int speed) { return std::round(10000.0 / animationIntervals[speed]) / 10; }

std::string readSpeed(const json& object, std::optional<int>& speed) {
  if (!object.contains("speed")) return "";
  const json& v = object["speed"];
  std::string offered;
  const int count = static_cast<int>(std::size(animationIntervals));
  for (int i = 0; i < count; ++i) {
    // A speed read back from a file matches to a few digits.
    if (v.is_number() && std::fabs(v.get<double>() - stepsPerSecond(i)) < 0.05) {
      speed = i;
      return "";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%g", stepsPerSecond(i));
    offered += (i == 0 ? "" : i + 1 == count ? " or " : ", ") + std::string(text);
  }
  return field("speed") + " must be one of " + offered + " (steps a second).";
}

std::string textOf(const json& v) { return v.is_string() ? v.get<std::string>() : std::string(); }

// "builtin" in place of the formula, its support and its caption.
std::string readBuiltin(const json& object, Lesson& read) {
  for (const char* other : {"density", "logDensity", "lower", "upper", "transform", "splits"}) {
    if (object.contains(other)) {
      return std::string("The file gives both \"builtin\" and \"") + other +
             "\"; a built-in density has its own formula, support and caption.";
    }
  }
  read.builtin = builtinKindNamed(textOf(object["builtin"]));
  if (read.builtin != 0) return "";
  std::string names;
  for (int kind = firstDensityKind; kind <= lastDensityKind; ++kind) {
    names += (kind == firstDensityKind ? "\"" : kind == lastDensityKind ? " or \"" : ", \"") +
             std::string(builtinKindName(kind)) + "\"";
  }
  return field("builtin") + " must be " + names + ".";
}

// "transform" and "splits", both optional: log and none.
std::string readTransform(const json& object, DensityChoice& density) {
  if (object.contains("transform")) {
    const json& v = object["transform"];
    if (!v.is_string() || !transformNamed(v.get<std::string>(), density.transform)) {
      const std::string given = v.is_string() ? quoted(v.get<std::string>()) : "not a text";
      return field("transform") + " must be \"log\" or \"inverse-sqrt\" (it is " + given + ").";
    }
  }
  if (!object.contains("splits")) return "";
  const json& v = object["splits"];
  if (!v.is_array()) return field("splits") + " must be a list of numbers, as [-1.2, 1.2].";
  std::vector<double> splits;
  for (const json& s : v) {
    if (!s.is_number()) return field("splits") + " must hold only numbers.";
    splits.push_back(s.get<double>());
  }
  const std::string problem = splitsProblem(splits, density.lower, density.upper);
  if (!problem.empty()) return field("splits") + ": " + problem;
  density.splits = splits;
  return "";
}

// "density" or "logDensity", the support's two ends and the transformation.
std::string readFormula(const json& object, Lesson& read) {
  const bool hasDensity = object.contains("density");
  const bool hasLog = object.contains("logDensity");
  if (hasDensity == hasLog) {
    return hasDensity ? "The file gives both \"density\" and \"logDensity\"; give one."
                      : "The field \"density\" (or \"logDensity\") is missing.";
  }
  const char* key = hasLog ? "logDensity" : "density";
  const json& formula = object[key];
  if (!formula.is_string()) return field(key) + " must be a formula in quotes.";
  read.density.formula = formula.get<std::string>();
  read.density.logDensity = hasLog;
  for (const std::string& problem : {readEnd(object, "lower", read.density.lower),
                                     readEnd(object, "upper", read.density.upper)}) {
    if (!problem.empty()) return problem;
  }
  return readTransform(object, read.density);
}

std::string readTheme(const json& object, std::optional<PlotTheme>& theme) {
  if (!object.contains("theme")) return "";
  const json& v = object["theme"];
  const std::string name = textOf(v);
  if (name == "classic") {
    theme = PlotTheme::classic;
  } else if (name == "projector") {
    theme = PlotTheme::projector;
  } else {
    const std::string given = v.is_string() ? quoted(name) : "not a text";
    return field("theme") + " must be \"classic\" or \"projector\" (it is " + given + ").";
  }
  return "";
}

// Seed, steps, darts and the view: all optional.
std::string readState(const json& object, Lesson& read) {
  if (object.contains("seed")) {
    int seed = 0;
    const std::string problem = readWhole(object, "seed", 1, 2147483646, seed);
    if (!problem.empty()) return problem;
    read.seed = seed;
  }
  if (object.contains("steps")) {
    const std::string problem = readWhole(object, "steps", 0, maxLessonSteps, read.steps);
    if (!problem.empty()) return problem;
  }
  if (object.contains("darts")) {
    int darts = 0;
    const std::string problem = readWhole(object, "darts", 1000, 100000, darts);
    if (!problem.empty()) return problem;
    read.darts = darts;
  }
  for (const std::string& problem :
       {readSpeed(object, read.speed), readFlag(object, "wholeEnvelope", read.wholeEnvelope),
        readFlag(object, "histogram", read.histogram), readFlag(object, "largerPoints", read.largerPoints),
        readFlag(object, "twoBeats", read.twoBeats), readFlag(object, "tScale", read.tScale),
        readFlag(object, "acceptedValues", read.acceptedValues), readFlag(object, "plainBeside", read.plainBeside),
        readFlag(object, "why", read.why), readFlag(object, "progress", read.progress),
        readFlag(object, "fixedAxis", read.fixedAxis), readTheme(object, read.theme)}) {
    if (!problem.empty()) return problem;
  }
  return "";
}

std::string readTitle(const json& object, std::string& title) {
  if (!object.contains("title")) return "";
  const json& v = object["title"];
  if (!v.is_string()) return field("title") + " must be a text in quotes.";
  const std::string text = v.get<std::string>();
  // A caption is one line; a control character would cut or break it.
  if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
    return field("title") + " must be one line without control characters (it is " + quoted(text) + ").";
  }
  title = text;
  return "";
}

std::string readLesson(const json& object, Lesson& lesson) {
  const std::string unknown = unknownKeyProblem(object);
  if (!unknown.empty()) return unknown;
  Lesson read;
  const std::string density = object.contains("builtin") ? readBuiltin(object, read) : readFormula(object, read);
  if (!density.empty()) return density;
  const std::string title = readTitle(object, read.title);
  if (!title.empty()) return title;
  if (object.contains("scale")) {
    const std::string scale = textOf(object["scale"]);
    if (scale == "normal") {
      read.scale = LessonScale::normal;
    } else if (scale == "log") {
      read.scale = LessonScale::log;
    } else {
      return field("scale") + " must be \"normal\" or \"log\".";
    }
  }
  const std::string problem = readState(object, read);
  if (!problem.empty()) return problem;
  lesson = read;
  return "";
}

// What the parser found wrong, in the words of the error (without its
// prefix and the echo of what it last read), and where. `open` holds the
// brackets still open there, innermost last.
std::string syntaxProblem(const json::parse_error& error, const std::string& open) {
  std::string what = error.what();
  const std::size_t dash = what.find(" - ");
  if (dash != std::string::npos) what.erase(0, dash + 3);
  const std::string trailing = "expected end of input";
  if (what.size() >= trailing.size() && what.compare(what.size() - trailing.size(), trailing.size(), trailing) == 0) {
    what = "text after the end of the object";
  } else if (what.rfind("unexpected end of input", 0) == 0) {
    if (open.empty()) return "The file is empty.";
    what = open.back() == '{' ? "unterminated object" : "unterminated array";
  } else if (what.rfind("invalid string: missing closing quote", 0) == 0) {
    what = "unterminated string";
  } else {
    const std::size_t echo = what.find("; last read");
    if (echo != std::string::npos) what.erase(echo);
  }
  return "The file is not JSON: " + what + " at character " + std::to_string(error.byte) + ".";
}

// An integral double within 2^53 is written as an integer (2, not 2.0);
// any other number with the fewest digits that read back to it.
json number(double value) {
  constexpr double exactIntegers = 9007199254740992.0;
  if (value == std::floor(value) && std::fabs(value) <= exactIntegers && !(value == 0 && std::signbit(value))) {
    return static_cast<std::int64_t>(value);
  }
  return value;
}

json supportEnd(double value) {
  return std::isfinite(value) ? number(value) : json(supportEndText(value));
}

}  // namespace

std::string parseLesson(const std::string& text, Lesson& lesson) {
  if (text.size() > maxLessonFileSize) return "The file is too large for a lesson.";
  // The brackets open as the parser goes, to say which one a file leaves open.
  std::string open;
  const json::parser_callback_t track = [&open](int, json::parse_event_t event, json&) {
    if (event == json::parse_event_t::object_start) open += '{';
    if (event == json::parse_event_t::array_start) open += '[';
    if ((event == json::parse_event_t::object_end || event == json::parse_event_t::array_end) && !open.empty()) {
      open.pop_back();
    }
    return true;
  };
  json document;
  try {
    document = json::parse(text, track);
  } catch (const json::parse_error& error) {
    return syntaxProblem(error, open);
  } catch (const json::exception&) {
    // The only other failure of reading: a number beyond the doubles.
    return "The file is not JSON: it holds a number too large for a double.";
  }
  if (!document.is_object()) return "The file holds no JSON object.";
  return readLesson(document, lesson);
}

std::string lessonJson(const Lesson& lesson) {
  json object = json::object();
  if (!lesson.title.empty()) object["title"] = lesson.title;
  if (lesson.builtin != 0) {
    object["builtin"] = builtinKindName(lesson.builtin);
  } else {
    object[lesson.density.logDensity ? "logDensity" : "density"] = lesson.density.formula;
    object["lower"] = supportEnd(lesson.density.lower);
    object["upper"] = supportEnd(lesson.density.upper);
    // Old readers never see the keys of a plain log-concave density.
    if (lesson.density.transform != ars::Transform::Log) {
      object["transform"] = transformName(lesson.density.transform);
    }
    if (!lesson.density.splits.empty()) {
      json splits = json::array();
      for (const double s : lesson.density.splits) splits.push_back(number(s));
      object["splits"] = splits;
    }
  }
  if (lesson.scale != LessonScale::unspecified) {
    object["scale"] = lesson.scale == LessonScale::log ? "log" : "normal";
  }
  object["seed"] = lesson.seed;
  if (lesson.steps != SavedView::notStepping) object["steps"] = lesson.steps;
  object["darts"] = lesson.darts;
  if (lesson.speed) object["speed"] = number(stepsPerSecond(*lesson.speed));
  for (const auto& [key, flag] : {std::pair<const char*, std::optional<bool>>{"wholeEnvelope", lesson.wholeEnvelope},
                                  {"histogram", lesson.histogram},
                                  {"largerPoints", lesson.largerPoints},
                                  {"twoBeats", lesson.twoBeats},
                                  {"tScale", lesson.tScale},
                                  {"acceptedValues", lesson.acceptedValues},
                                  {"plainBeside", lesson.plainBeside},
                                  {"fixedAxis", lesson.fixedAxis}}) {
    if (flag) object[key] = *flag;
  }
  if (lesson.theme) object["theme"] = *lesson.theme == PlotTheme::projector ? "projector" : "classic";
  // The panels are written only when shown, so that lessons saved without
  // them read as they always have.
  for (const auto& [key, flag] : {std::pair<const char*, std::optional<bool>>{"why", lesson.why},
                                  {"progress", lesson.progress}}) {
    if (flag && *flag) object[key] = true;
  }
  // A title that is no UTF-8 (never from a file, which is checked) is
  // written with replacement characters rather than refused.
  return object.dump(4, ' ', false, json::error_handler_t::replace) + "\n";
}
