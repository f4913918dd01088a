#pragma once
// A lesson: one density prepared in advance by a lecturer, as read from or
// written to a lesson file (app/qt/qt_lesson_file.h reads and writes the format).
#include <string>

#include "density/density_choice.h"

enum class LessonScale { unspecified, normal, log };

struct Lesson {
  std::string title;     // optional; the caption when given
  DensityChoice density;  // its caption is left empty by the reader
  LessonScale scale = LessonScale::unspecified;
};
