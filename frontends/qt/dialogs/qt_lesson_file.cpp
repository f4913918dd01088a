#include "frontends/qt/dialogs/qt_lesson_file.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#else
#include <QFileInfo>
#endif

namespace {

std::string cannotRead(const QString& path, const std::string& why) {
  return "Cannot read " + path.toStdString() + ": " + why + ".";
}

#ifndef _WIN32
// What a path names when it is no regular file, in the reader's words.
const char* notRegular(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder, not a lesson file";
  if (S_ISFIFO(mode)) return "it is a pipe (FIFO), not a lesson file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a lesson file";
  if (S_ISSOCK(mode)) return "it is a socket, not a lesson file";
  return S_ISREG(mode) ? nullptr : "it is not a regular file";
}

// Opening a FIFO without a writer, or some devices, would block the window:
// the type is checked before opening, the open never waits, and the type is
// checked again on what was opened (the path may have changed in between).
std::string readBytes(const QString& path, std::string& bytes) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (::stat(name.constData(), &info) != 0) return cannotRead(path, std::strerror(errno));
  if (const char* why = notRegular(info.st_mode)) return cannotRead(path, why);
  const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return cannotRead(path, std::strerror(errno));
  std::string problem;
  if (::fstat(fd, &info) != 0) {
    problem = cannotRead(path, std::strerror(errno));
  } else if (const char* why = notRegular(info.st_mode)) {
    problem = cannotRead(path, why);
  } else if (info.st_size > static_cast<off_t>(maxLessonFileSize)) {
    problem = "The file is too large for a lesson.";
  } else {
    // One byte more than a lesson may hold tells a file that grew meanwhile.
    char buffer[4096];
    while (problem.empty() && bytes.size() <= maxLessonFileSize) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n == 0) break;
      if (n > 0) {
        bytes.append(buffer, static_cast<std::size_t>(n));
      } else if (errno != EINTR) {
        problem = cannotRead(path, std::strerror(errno));
      }
    }
  }
  ::close(fd);
  return problem;
}
#else
std::string readBytes(const QString& path, std::string& bytes) {
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) return cannotRead(path, "it is not a regular file");
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return cannotRead(path, file.errorString().toStdString());
  constexpr qint64 cap = static_cast<qint64>(maxLessonFileSize);
  if (file.size() > cap) return "The file is too large for a lesson.";
  bytes = file.read(cap + 1).toStdString();
  return "";
}
#endif

}  // namespace

std::string readLessonFile(const QString& path, Lesson& lesson) {
  std::string bytes;
  const std::string problem = readBytes(path, bytes);
  if (!problem.empty()) return problem;
  return parseLesson(bytes, lesson);
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
