#include "frontends/qt/dialogs/qt_content_dialogs.h"

#include "frontends/qt/dialogs/qt_density_dialog.h"
#include "frontends/qt/dialogs/qt_how_it_works.h"
#include "frontends/qt/dialogs/qt_lesson_file.h"
#include "frontends/qt/platform/qt_file_dialog.h"
#include "frontends/qt/platform/qt_main_window.h"

namespace {
const QString lessonFilter = QStringLiteral("Lessons (*.json);;All files (*)");
}

// The picture's scale, so that a dialog grows with it on a projector.
double QtContentDialogs::scale() const {
  const auto* window = dynamic_cast<const QtMainWindow*>(parent_);
  return window != nullptr ? window->pictureScale() : 1.0;
}

bool QtContentDialogs::chooseDensity(DensityChoice& choice) {
  QtDensityDialog dialog(choice, scale(), parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  choice = dialog.choice();
  return true;
}

bool QtContentDialogs::openLessonFile(Lesson& lesson, std::string& problem) {
  const QString path = askFilePath(parent_, FileAsk::open, QStringLiteral("Open lesson"), QString(), lessonFilter, scale());
  if (path.isEmpty()) return false;
  problem = readLessonFile(path, lesson);
  return true;
}

void QtContentDialogs::showHowItWorks(const std::string& anchor) {
  const auto* window = dynamic_cast<const QtMainWindow*>(parent_);
  QtHowItWorksDialog dialog(window != nullptr ? window->pictureScale() : 1.0, parent_, anchor);
  dialog.exec();
}

void QtContentDialogs::saveLessonFile(const Lesson& lesson, std::string& problem) {
  QString path =
      askFilePath(parent_, FileAsk::save, QStringLiteral("Save lesson"), QStringLiteral("lesson.json"), lessonFilter, scale());
  if (path.isEmpty()) return;
  if (!path.contains('.')) path += QStringLiteral(".json");
  problem = writeLessonFile(path, lesson);
}
