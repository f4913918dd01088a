// Lesson files on disk: written and read back, a missing file and one too
// large. The format itself is tested without Qt (tests/studio/lesson_json_test.cpp).
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <limits>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "frontends/qt/dialogs/qt_lesson_file.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

TEST(LessonFile, RoundTripsThroughAFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  Lesson lesson;
  lesson.title = "Posterior \"quoted\" \u00e9";
  lesson.density = DensityChoice{"", "2*log(x) + 3*log(1-x)", true, 1.0 / 3, inf};
  lesson.scale = LessonScale::normal;
  const QString path = dir.filePath("lesson.json");
  ASSERT_EQ(writeLessonFile(path, lesson), "");
  Lesson back;
  ASSERT_EQ(readLessonFile(path, back), "");
  EXPECT_EQ(back.title, lesson.title);
  EXPECT_EQ(back.density.formula, lesson.density.formula);
  EXPECT_TRUE(back.density.logDensity);
  EXPECT_EQ(back.density.lower, 1.0 / 3);
  EXPECT_EQ(back.density.upper, inf);
  EXPECT_EQ(back.scale, LessonScale::normal);
  // The file holds the text the core writes, byte for byte.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), lessonJson(lesson));
}

TEST(LessonFile, NamesAFileThatCannotBeALesson) {
  Lesson lesson;
  const std::string missing = readLessonFile("/nonexistent/lesson.json", lesson);
  EXPECT_EQ(missing.rfind("Cannot read /nonexistent/lesson.json", 0), 0u) << missing;
  EXPECT_EQ(writeLessonFile("/nonexistent/lesson.json", lesson).rfind("Cannot write /nonexistent/lesson.json", 0),
            0u);

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("large.json");
  QFile large(path);
  ASSERT_TRUE(large.open(QIODevice::WriteOnly));
  large.write("{\"builtin\": \"beta-2-3\"}");
  large.write(QByteArray(static_cast<int>(maxLessonFileSize), ' '));
  large.close();
  EXPECT_EQ(readLessonFile(path, lesson), "The file is too large for a lesson.");
  const QString broken = dir.filePath("broken.json");
  QFile cut(broken);
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write("{\"density\": \"x\", ");
  cut.close();
  EXPECT_EQ(readLessonFile(broken, lesson), "The file is not JSON: unterminated object at character 18.");
}

#ifndef _WIN32
// Opening a pipe without a writer blocks until one comes: the reader must
// refuse it (and a folder or a device) without opening it to wait.
TEST(LessonFile, RefusesWhatIsNoRegularFileWithoutBlocking) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString fifo = dir.filePath("l.json");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  Lesson lesson;
  lesson.seed = 99;
  EXPECT_EQ(readLessonFile(fifo, lesson),
            "Cannot read " + fifo.toStdString() + ": it is a pipe (FIFO), not a lesson file.");
  EXPECT_EQ(readLessonFile(dir.path(), lesson),
            "Cannot read " + dir.path().toStdString() + ": it is a folder, not a lesson file.");
  EXPECT_EQ(readLessonFile("/dev/null", lesson), "Cannot read /dev/null: it is a device, not a lesson file.");
  EXPECT_EQ(lesson.seed, 99);
  // A link to a regular file is read as the file.
  const QString target = dir.filePath("target.json");
  QFile file(target);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("{\"builtin\": \"beta-2-3\", \"seed\": 7}");
  file.close();
  const QString link = dir.filePath("link.json");
  ASSERT_TRUE(QFile::link(target, link));
  EXPECT_EQ(readLessonFile(link, lesson), "");
  EXPECT_EQ(lesson.seed, 7);
}
#endif

}  // namespace
