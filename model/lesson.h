#pragma once
// A lesson: a density and the state of the window prepared in advance by a
// lecturer, as read from or written to a lesson file or a link
// (studio/lesson_json.h reads and writes the format). Opening one restores a SavedView; saving one
// takes the window's.
#include <cstdint>
#include <optional>
#include <string>

#include "density/density_choice.h"
#include "model/saved_view.h"

enum class LessonScale { unspecified, normal, log };

struct Lesson {
  // Optional: names the lesson. The caption of a typed density; a built-in
  // kind keeps its own caption, so that its picture is the classic one.
  std::string title;
  int builtin = 0;        // a built-in kind in place of `density`; 0: the typed density
  DensityChoice density;  // its caption is left empty by the reader
  LessonScale scale = LessonScale::unspecified;
  std::int32_t seed = fixedSeed;
  int steps = SavedView::notStepping;
  std::int32_t darts = 5000;
  // Left as the window has them when the lesson does not say.
  std::optional<int> speed;  // index into animationIntervals
  std::optional<bool> wholeEnvelope;
  std::optional<bool> histogram;
  std::optional<bool> largerPoints;
  std::optional<bool> twoBeats;
  std::optional<bool> tScale;
  std::optional<bool> acceptedValues;
  std::optional<bool> plainBeside;
  std::optional<bool> why;
  std::optional<bool> progress;
  std::optional<PlotTheme> theme;
  std::optional<bool> fixedAxis;
};

// The lesson's state over `shown`, which gives what the lesson leaves open.
SavedView lessonView(const Lesson& lesson, const SavedView& shown);
// The window's state as a lesson, every key given.
Lesson currentLesson(const WindowModel& model);

// The built-in kinds' names in lesson files ("beta-2-3", ...); 0 for no such name.
int builtinKindNamed(const std::string& name);
const char* builtinKindName(int kind);
