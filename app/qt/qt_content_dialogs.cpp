#include "app/qt/qt_content_dialogs.h"

#include <QFileDialog>

#include "app/qt/qt_density_dialog.h"
#include "app/qt/qt_lesson_file.h"

namespace {
const QString lessonFilter = QStringLiteral("Lessons (*.json);;All files (*)");
}

bool QtContentDialogs::chooseDensity(DensityChoice& choice) {
  QtDensityDialog dialog(choice, parent_);
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

void QtContentDialogs::saveLessonFile(const Lesson& lesson, std::string& problem) {
  QString path = QFileDialog::getSaveFileName(parent_, QStringLiteral("Save lesson"), QStringLiteral("lesson.json"),
                                              lessonFilter);
  if (path.isEmpty()) return;
  if (!path.contains('.')) path += QStringLiteral(".json");
  problem = writeLessonFile(path, lesson);
}
