#pragma once
// Lesson files on disk: the bytes read and written with Qt, the format read
// and written by studio/lesson_json.h.
#include <QString>
#include <string>

#include "model/lesson.h"
#include "studio/lesson_json.h"

// Returns "" and fills lesson, or says what is wrong with the file.
std::string readLessonFile(const QString& path, Lesson& lesson);
// Returns "" when written, or why not; a file left half written never replaces the old one.
std::string writeLessonFile(const QString& path, const Lesson& lesson);
