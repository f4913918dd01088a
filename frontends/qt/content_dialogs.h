#pragma once
// The dialogs that know the program's content: a density beyond the built-in
// kinds, and lesson files. The window system's own dialogs know neither.
#include <string>

#include "density/density_choice.h"
#include "model/lesson.h"

class ContentDialogs {
 public:
  virtual ~ContentDialogs() = default;
  // Asks for a density, accepting only a valid one; false when cancelled.
  // `choice` holds the last one, to start from.
  virtual bool chooseDensity(DensityChoice& choice) = 0;
  // Asks for a lesson file and reads it; false when cancelled. A file that
  // is no lesson returns true with `problem` saying why.
  virtual bool openLessonFile(Lesson& lesson, std::string& problem) = 0;
  // Asks for a file name and writes the lesson; `problem` says why it failed.
  virtual void saveLessonFile(const Lesson& lesson, std::string& problem) = 0;
  // Shows Help > How it works until it is closed, at the section with this
  // anchor (the top for "").
  virtual void showHowItWorks(const std::string& /*anchor*/) {}
};
