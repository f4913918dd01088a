// The main window's dialogs for other densities and lesson files.
#include <QFileDialog>

#include "platform/qt/qt_density_dialog.h"
#include "platform/qt/qt_lesson_file.h"
#include "platform/qt/qt_main_window.h"

namespace {
const QString lessonFilter = QStringLiteral("Lessons (*.json);;All files (*)");
}

bool QtMainWindow::chooseDensity(DensityChoice& choice) {
  QtDensityDialog dialog(choice, statusScale_, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  choice = dialog.choice();
  return true;
}

bool QtMainWindow::openLessonFile(Lesson& lesson, std::string& problem) {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open lesson"), QString(), lessonFilter);
  if (path.isEmpty()) return false;
  problem = readLessonFile(path, lesson);
  return true;
}

void QtMainWindow::saveLessonFile(const Lesson& lesson, std::string& problem) {
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save lesson"), QStringLiteral("lesson.json"),
                                              lessonFilter);
  if (path.isEmpty()) return;
  if (!path.contains('.')) path += QStringLiteral(".json");
  problem = writeLessonFile(path, lesson);
}
