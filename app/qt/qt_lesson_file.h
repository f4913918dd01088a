#pragma once
// Lesson files: a small JSON object, read with Qt's JSON classes.
//   {"title": "Normal tail", "density": "exp(-x^2/2)", "lower": 2, "upper": 4, "scale": "log"}
// "density" or "logDensity" (exactly one) holds the formula; "lower" and
// "upper" are numbers or the strings "-inf" / "inf"; "title" and "scale"
// ("normal" or "log") are optional. "builtin" ("beta-2-3", ...) names a
// built-in density in place of the formula, its support and title. The
// window's state is optional too: "seed", "steps", "darts", "speed",
// "wholeEnvelope", "histogram", "largerPoints", "twoBeats", "tScale"; "steps"
// counts whole steps, shown at the last one's last beat. A formula may name
// its "transform" ("log" or "inverse-sqrt") and its "splits" (increasing
// numbers inside the support). Whether the formula parses is
// checked where it is used, not here.
#include <QByteArray>
#include <QString>
#include <string>

#include "model/lesson.h"

// Returns "" and fills lesson, or says what is wrong with the file.
std::string parseLesson(const QByteArray& bytes, Lesson& lesson);
std::string readLessonFile(const QString& path, Lesson& lesson);

QByteArray lessonJson(const Lesson& lesson);
// Returns "" when written, or why not.
std::string writeLessonFile(const QString& path, const Lesson& lesson);

// Lesson files are small; anything larger is not one.
constexpr qint64 maxLessonFileSize = 64 * 1024;
// Replaying more steps than this would keep the window busy for long.
constexpr int maxLessonSteps = 100000;
