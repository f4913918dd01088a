#include "app/qt/qt_lesson_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <optional>

#include "density/density_kinds.h"
#include "density/formula_density.h"
#include "density/transform_choice.h"
#include "model/view_options.h"

namespace {

// A support end: a finite number, or the string "-inf" / "inf" (a number
// also as a string, as people type them).
std::string readEnd(const QJsonObject& object, const char* key, double& value) {
  const QJsonValue v = object.value(QLatin1String(key));
  if (v.isUndefined()) return std::string("The field \"") + key + "\" is missing.";
  if (v.isDouble() && std::isfinite(v.toDouble())) {
    value = v.toDouble();
    return "";
  }
  if (v.isString() && parseSupportEnd(v.toString().toStdString(), value)) return "";
  return std::string("The field \"") + key + "\" must be a number, \"-inf\" or \"inf\".";
}

std::string field(const char* key) { return std::string("The field \"") + key + "\""; }

// A whole number from low to high, written as a JSON number.
std::string readWhole(const QJsonObject& object, const char* key, int low, int high, int& value) {
  const QJsonValue v = object.value(QLatin1String(key));
  const double d = v.toDouble();
  if (!v.isDouble() || d != std::floor(d) || d < low || d > high) {
    return field(key) + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
           ".";
  }
  value = static_cast<int>(d);
  return "";
}

std::string readFlag(const QJsonObject& object, const char* key, std::optional<bool>& value) {
  if (!object.contains(QLatin1String(key))) return "";
  const QJsonValue v = object.value(QLatin1String(key));
  if (!v.isBool()) return field(key) + " must be true or false.";
  value = v.toBool();
  return "";
}

// Steps a second, as the status line shows the animation's speed.
double stepsPerSecond(int speed) { return std::round(10000.0 / animationIntervals[speed]) / 10; }

std::string readSpeed(const QJsonObject& object, std::optional<int>& speed) {
  if (!object.contains(QLatin1String("speed"))) return "";
  const QJsonValue v = object.value(QLatin1String("speed"));
  std::string offered;
  const int count = static_cast<int>(std::size(animationIntervals));
  for (int i = 0; i < count; ++i) {
    // A speed read back from a file matches to a few digits.
    if (v.isDouble() && std::fabs(v.toDouble() - stepsPerSecond(i)) < 0.05) {
      speed = i;
      return "";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%g", stepsPerSecond(i));
    offered += (i == 0 ? "" : i + 1 == count ? " or " : ", ") + std::string(text);
  }
  return field("speed") + " must be one of " + offered + " (steps a second).";
}

// "builtin" in place of the formula, its support and its caption.
std::string readBuiltin(const QJsonObject& object, Lesson& read) {
  for (const char* other : {"density", "logDensity", "lower", "upper", "title", "transform", "splits"}) {
    if (object.contains(QLatin1String(other))) {
      return std::string("The file gives both \"builtin\" and \"") + other +
             "\"; a built-in density has its own formula, support and caption.";
    }
  }
  read.builtin = builtinKindNamed(object.value(QLatin1String("builtin")).toString().toStdString());
  if (read.builtin != 0) return "";
  std::string names;
  for (int kind = firstDensityKind; kind <= lastDensityKind; ++kind) {
    names += (kind == firstDensityKind ? "\"" : kind == lastDensityKind ? " or \"" : ", \"") +
             std::string(builtinKindName(kind)) + "\"";
  }
  return field("builtin") + " must be " + names + ".";
}

// "transform" and "splits", both optional: log and none.
std::string readTransform(const QJsonObject& object, DensityChoice& density) {
  if (object.contains(QLatin1String("transform"))) {
    const QJsonValue v = object.value(QLatin1String("transform"));
    if (!v.isString() || !transformNamed(v.toString().toStdString(), density.transform)) {
      const std::string given = v.isString() ? "\"" + v.toString().toStdString() + "\"" : "not a text";
      return field("transform") + " must be \"log\" or \"inverse-sqrt\" (it is " + given + ").";
    }
  }
  if (!object.contains(QLatin1String("splits"))) return "";
  const QJsonValue v = object.value(QLatin1String("splits"));
  if (!v.isArray()) return field("splits") + " must be a list of numbers, as [-1.2, 1.2].";
  std::vector<double> splits;
  for (const QJsonValue& s : v.toArray()) {
    if (!s.isDouble()) return field("splits") + " must hold only numbers.";
    splits.push_back(s.toDouble());
  }
  const std::string problem = splitsProblem(splits, density.lower, density.upper);
  if (!problem.empty()) return field("splits") + ": " + problem;
  density.splits = splits;
  return "";
}

// "density" or "logDensity", the support's two ends and the transformation.
std::string readFormula(const QJsonObject& object, Lesson& read) {
  const bool hasDensity = object.contains(QLatin1String("density"));
  const bool hasLog = object.contains(QLatin1String("logDensity"));
  if (hasDensity == hasLog) {
    return hasDensity ? "The file gives both \"density\" and \"logDensity\"; give one."
                      : "The field \"density\" (or \"logDensity\") is missing.";
  }
  const QJsonValue formula = object.value(QLatin1String(hasLog ? "logDensity" : "density"));
  if (!formula.isString()) {
    return std::string("The field \"") + (hasLog ? "logDensity" : "density") + "\" must be a formula in quotes.";
  }
  read.density.formula = formula.toString().toStdString();
  read.density.logDensity = hasLog;
  for (const std::string& problem : {readEnd(object, "lower", read.density.lower),
                                     readEnd(object, "upper", read.density.upper)}) {
    if (!problem.empty()) return problem;
  }
  return readTransform(object, read.density);
}

// Seed, steps, darts and the view: all optional.
std::string readState(const QJsonObject& object, Lesson& read) {
  if (object.contains(QLatin1String("seed"))) {
    int seed = 0;
    const std::string problem = readWhole(object, "seed", 1, 2147483646, seed);
    if (!problem.empty()) return problem;
    read.seed = seed;
  }
  if (object.contains(QLatin1String("steps"))) {
    const std::string problem = readWhole(object, "steps", 0, maxLessonSteps, read.steps);
    if (!problem.empty()) return problem;
  }
  if (object.contains(QLatin1String("darts"))) {
    int darts = 0;
    const std::string problem = readWhole(object, "darts", 1000, 100000, darts);
    if (!problem.empty()) return problem;
    read.darts = darts;
  }
  for (const std::string& problem :
       {readSpeed(object, read.speed), readFlag(object, "wholeEnvelope", read.wholeEnvelope),
        readFlag(object, "histogram", read.histogram), readFlag(object, "largerPoints", read.largerPoints),
        readFlag(object, "twoBeats", read.twoBeats), readFlag(object, "tScale", read.tScale)}) {
    if (!problem.empty()) return problem;
  }
  return "";
}

}  // namespace

std::string parseLesson(const QByteArray& bytes, Lesson& lesson) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError) {
    return "The file is not JSON: " + error.errorString().toStdString() + " at character " +
           std::to_string(error.offset + 1) + ".";
  }
  if (!document.isObject()) return "The file holds no JSON object.";
  const QJsonObject object = document.object();

  Lesson read;
  if (object.contains(QLatin1String("builtin"))) {
    const std::string problem = readBuiltin(object, read);
    if (!problem.empty()) return problem;
  } else {
    const std::string problem = readFormula(object, read);
    if (!problem.empty()) return problem;
  }
  if (object.contains(QLatin1String("title"))) {
    const QJsonValue title = object.value(QLatin1String("title"));
    if (!title.isString()) return "The field \"title\" must be a text in quotes.";
    read.title = title.toString().toStdString();
  }
  if (object.contains(QLatin1String("scale"))) {
    const QString scale = object.value(QLatin1String("scale")).toString();
    if (scale == QLatin1String("normal")) {
      read.scale = LessonScale::normal;
    } else if (scale == QLatin1String("log")) {
      read.scale = LessonScale::log;
    } else {
      return "The field \"scale\" must be \"normal\" or \"log\".";
    }
  }
  const std::string problem = readState(object, read);
  if (!problem.empty()) return problem;
  lesson = read;
  return "";
}

std::string readLessonFile(const QString& path, Lesson& lesson) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return "Cannot read " + path.toStdString() + ": " + file.errorString().toStdString() + ".";
  }
  if (file.size() > maxLessonFileSize) return "The file is too large for a lesson.";
  return parseLesson(file.read(maxLessonFileSize + 1), lesson);
}

QByteArray lessonJson(const Lesson& lesson) {
  QJsonObject object;
  if (lesson.builtin != 0) {
    object.insert("builtin", builtinKindName(lesson.builtin));
  } else {
    if (!lesson.title.empty()) object.insert("title", QString::fromStdString(lesson.title));
    object.insert(lesson.density.logDensity ? "logDensity" : "density",
                  QString::fromStdString(lesson.density.formula));
    for (const auto& [key, value] : {std::pair<const char*, double>{"lower", lesson.density.lower},
                                     std::pair<const char*, double>{"upper", lesson.density.upper}}) {
      if (std::isfinite(value)) {
        object.insert(QLatin1String(key), value);
      } else {
        object.insert(QLatin1String(key), QString::fromStdString(supportEndText(value)));
      }
    }
    // Old readers never see the keys of a plain log-concave density.
    if (lesson.density.transform != ars::Transform::Log) {
      object.insert("transform", transformName(lesson.density.transform));
    }
    if (!lesson.density.splits.empty()) {
      QJsonArray splits;
      for (const double s : lesson.density.splits) splits.append(s);
      object.insert("splits", splits);
    }
  }
  if (lesson.scale != LessonScale::unspecified) {
    object.insert("scale", lesson.scale == LessonScale::log ? "log" : "normal");
  }
  object.insert("seed", lesson.seed);
  if (lesson.steps != SavedView::notStepping) object.insert("steps", lesson.steps);
  object.insert("darts", lesson.darts);
  if (lesson.speed) object.insert("speed", stepsPerSecond(*lesson.speed));
  for (const auto& [key, flag] : {std::pair<const char*, std::optional<bool>>{"wholeEnvelope", lesson.wholeEnvelope},
                                  {"histogram", lesson.histogram},
                                  {"largerPoints", lesson.largerPoints},
                                  {"twoBeats", lesson.twoBeats},
                                  {"tScale", lesson.tScale}}) {
    if (flag) object.insert(QLatin1String(key), *flag);
  }
  return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::string writeLessonFile(const QString& path, const Lesson& lesson) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(lessonJson(lesson)) < 0 || !file.commit()) {
    return "Cannot write " + path.toStdString() + ": " + file.errorString().toStdString() + ".";
  }
  return "";
}
