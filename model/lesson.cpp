#include "model/lesson.h"

#include "density/density_kinds.h"
#include "model/window_model.h"

namespace {
// In the order of the kinds 1 to 6.
constexpr const char* builtinNames[] = {"beta-2-3",  "beta-0.5-2", "gamma-1-1",
                                        "gamma-10-0.1", "gamma-0.5-2", "test-density"};
}  // namespace

int builtinKindNamed(const std::string& name) {
  for (int kind = firstDensityKind; kind <= lastDensityKind; ++kind) {
    if (name == builtinNames[kind - firstDensityKind]) return kind;
  }
  return 0;
}

const char* builtinKindName(int kind) {
  if (kind < firstDensityKind || kind > lastDensityKind) return nullptr;
  return builtinNames[kind - firstDensityKind];
}

SavedView lessonView(const Lesson& lesson, const SavedView& shown) {
  SavedView saved = shown;
  if (lesson.builtin != 0) {
    saved.densityKind = lesson.builtin;
  } else {
    saved.densityKind = otherDensityKind;
    saved.otherChoice = lesson.density;
    saved.otherChoice.caption = lesson.title;
  }
  if (lesson.scale != LessonScale::unspecified) saved.view.logScale = lesson.scale == LessonScale::log;
  saved.seed = lesson.seed;
  saved.steps = lesson.steps;
  saved.darts = lesson.darts;
  if (lesson.speed) saved.view.animationSpeed = *lesson.speed;
  if (lesson.wholeEnvelope) saved.view.wholeEnvelope = *lesson.wholeEnvelope;
  if (lesson.histogram) saved.view.histogramShown = *lesson.histogram;
  if (lesson.largerPoints) saved.view.largerPoints = *lesson.largerPoints;
  if (lesson.twoBeats) saved.view.twoBeats = *lesson.twoBeats;
  if (lesson.acceptedValues) saved.view.acceptedValues = *lesson.acceptedValues;
  if (lesson.plainBeside) saved.view.plainBeside = *lesson.plainBeside;
  if (lesson.why) saved.view.whyPanel = *lesson.why;
  if (lesson.progress) saved.view.progressChart = *lesson.progress;
  if (lesson.theme) saved.view.theme = *lesson.theme;
  if (lesson.fixedAxis) saved.view.fixedAxis = *lesson.fixedAxis;
  if (lesson.tScale) {
    saved.view.tScale = *lesson.tScale;
  } else if (lesson.scale != LessonScale::unspecified) {
    // Normal, log and T are one choice: a lesson naming its scale without T means that scale.
    saved.view.tScale = false;
  }
  return saved;
}

Lesson currentLesson(const WindowModel& model) {
  const SavedView saved = savedView(model);
  Lesson lesson;
  if (saved.densityKind == otherDensityKind) {
    lesson.density = saved.otherChoice;
    lesson.title = saved.otherChoice.caption;
    lesson.density.caption.clear();
  } else {
    lesson.builtin = saved.densityKind;
  }
  lesson.scale = saved.view.logScale ? LessonScale::log : LessonScale::normal;
  lesson.seed = saved.seed;
  lesson.steps = saved.steps;
  lesson.darts = saved.darts;
  lesson.speed = saved.view.animationSpeed;
  lesson.wholeEnvelope = saved.view.wholeEnvelope;
  lesson.histogram = saved.view.histogramShown;
  lesson.largerPoints = saved.view.largerPoints;
  lesson.twoBeats = saved.view.twoBeats;
  lesson.tScale = saved.view.tScale;
  lesson.acceptedValues = saved.view.acceptedValues;
  lesson.plainBeside = saved.view.plainBeside;
  lesson.why = saved.view.whyPanel;
  lesson.progress = saved.view.progressChart;
  lesson.theme = saved.view.theme;
  lesson.fixedAxis = saved.view.fixedAxis;
  return lesson;
}
