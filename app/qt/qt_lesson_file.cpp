#include "app/qt/qt_lesson_file.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <cmath>

#include "density/formula_density.h"

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
  if (lesson.scale != LessonScale::unspecified) {
    object.insert("scale", lesson.scale == LessonScale::log ? "log" : "normal");
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
