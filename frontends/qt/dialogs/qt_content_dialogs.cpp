#include "frontends/qt/dialogs/qt_content_dialogs.h"

#include <QFileDialog>

#include "frontends/qt/dialogs/qt_density_dialog.h"
#include "frontends/qt/dialogs/qt_how_it_works.h"
#include "frontends/qt/dialogs/qt_lesson_file.h"
#include "frontends/qt/platform/qt_main_window.h"

namespace {
const QString lessonFilter = QStringLiteral("Lessons (*.json);;All files (*)");
}

bool QtContentDialogs::chooseDensity(DensityChoice& choice) {
  // The picture's scale, so that the dialog grows with it on a projector.
  const auto* window = dynamic_cast<const QtMainWindow*>(parent_);
  QtDensityDialog dialog(choice, window != nullptr ? window->pictureScale() : 1.0, parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  choice = dialog.choice();
  return true;
}

bool QtContentDialogs::openLessonFile(Lesson& lesson, std::string& problem) {
  const QString path = QFileDialog::getOpenFileName(parent_, QStringLiteral("Open lesson"), QString(), lessonFilter);
  if (path.isEmpty()) return false;
  problem = readLessonFile(path, lesson);
  return true;
}

void QtContentDialogs::showHowItWorks() {
  const auto* window = dynamic_cast<const QtMainWindow*>(parent_);
  QtHowItWorksDialog dialog(window != nullptr ? window->pictureScale() : 1.0, parent_);
  dialog.exec();
}

void QtContentDialogs::saveLessonFile(const Lesson& lesson, std::string& problem) {
  QString path = QFileDialog::getSaveFileName(parent_, QStringLiteral("Save lesson"), QStringLiteral("lesson.json"),
                                              lessonFilter);
  if (path.isEmpty()) return;
  if (!path.contains('.')) path += QStringLiteral(".json");
  problem = writeLessonFile(path, lesson);
}
