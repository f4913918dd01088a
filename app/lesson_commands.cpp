// The commands behind the density dialog, the lesson files and the
// comparison with plain rejection.
#include "app/content_dialogs.h"
#include "app/main_window.h"
#include "model/other_density.h"
#include "model/plain_comparison.h"
#include "model/saved_view.h"
#include "resources/command_ids.h"

void MainWindow::lessonCommand(int id) {
  if (!window_ || !dialogs_) return;
  if (id == CommandId::otherDensity) {
    DensityChoice choice = model_.density.otherChoice;
    if (!dialogs_->chooseDensity(choice)) return;
    const std::string problem = selectOtherDensity(choice);
    if (!problem.empty()) showMessage(problem.c_str(), "Density not usable");
  } else if (id == CommandId::openLesson) {
    Lesson lesson;
    std::string problem;
    if (!dialogs_->openLessonFile(lesson, problem)) return;
    if (problem.empty()) problem = openLesson(lesson);
    if (!problem.empty()) showMessage(("The lesson cannot be opened:\n" + problem).c_str(), "Open lesson");
  } else if (id == CommandId::saveLesson) {
    std::string problem;
    dialogs_->saveLessonFile(currentLesson(model_), problem);
    if (!problem.empty()) showMessage(problem.c_str(), "Save lesson");
  }
}

std::string MainWindow::selectOtherDensity(const DensityChoice& choice) {
  const std::string problem = ::selectOtherDensity(model_, choice);
  if (!problem.empty()) return problem;
  stopAnimation();
  repaint();
  return "";
}

std::string MainWindow::openLesson(const Lesson& lesson) {
  stopAnimation();
  const std::string problem = restoreView(model_, lessonView(lesson, savedView(model_)), *this);
  if (!problem.empty()) return problem;
  // Opened from the command line too, where no command ends after it.
  takeOfferedDensity(false);
  repaint();
  return "";
}

void MainWindow::compareWithPlainRejection() {
  throwDarts();
  if (model_.darts.x.size() < static_cast<std::size_t>(model_.darts.count) ||
      model_.curve.yValues.empty()) {
    return;
  }
  throwPlainComparison(model_);
}
