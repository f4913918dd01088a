#pragma once
// Lessons as JSON text, read and written in the core.
#include <string>

#include "model/lesson.h"

// Returns "" and fills lesson, or says what is wrong with the text.
std::string parseLessonText(const std::string& json, Lesson& lesson);
std::string writeLessonText(const Lesson& lesson);
