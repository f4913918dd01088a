#include "frontends/qt/dialogs/qt_lesson_file.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

std::string readLessonFile(const QString& path, Lesson& lesson) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return "Cannot read " + path.toStdString() + ": " + file.errorString().toStdString() + ".";
  }
  constexpr qint64 cap = static_cast<qint64>(maxLessonFileSize);
  if (file.size() > cap) return "The file is too large for a lesson.";
  return parseLesson(file.read(cap + 1).toStdString(), lesson);
}

std::string writeLessonFile(const QString& path, const Lesson& lesson) {
  const std::string json = lessonJson(lesson);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(json.data(), static_cast<qint64>(json.size())) < 0 ||
      !file.commit()) {
    return "Cannot write " + path.toStdString() + ": " + file.errorString().toStdString() + ".";
  }
  return "";
}
