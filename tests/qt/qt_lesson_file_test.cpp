// Lesson files: round trip, the shipped examples, and every kind of bad file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "density/formula_density.h"
#include "app/qt/qt_lesson_file.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

std::string problemOf(const char* json) {
  Lesson lesson;
  return parseLesson(QByteArray(json), lesson);
}

TEST(LessonFile, ReadsTheDocumentedExample) {
  Lesson lesson;
  ASSERT_EQ(parseLesson(R"j({"title": "Normal tail", "density": "exp(-x^2/2)", "lower": 2, "upper": 4, "scale": "log"})j",
                        lesson),
            "");
  EXPECT_EQ(lesson.title, "Normal tail");
  EXPECT_EQ(lesson.density.formula, "exp(-x^2/2)");
  EXPECT_FALSE(lesson.density.logDensity);
  EXPECT_EQ(lesson.density.lower, 2);
  EXPECT_EQ(lesson.density.upper, 4);
  EXPECT_EQ(lesson.scale, LessonScale::log);
}

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
  lesson.density.lower = -inf;
  lesson.scale = LessonScale::unspecified;
  lesson.title.clear();
  ASSERT_EQ(parseLesson(lessonJson(lesson), back), "");
  EXPECT_EQ(back.density.lower, -inf);
  EXPECT_EQ(back.scale, LessonScale::unspecified);
}

TEST(LessonFile, KeepsTheTransformationSplitPointsAndTScale) {
  Lesson lesson;
  lesson.density = DensityChoice{"", "1/(1+x^2)", false, -inf, inf};
  lesson.density.transform = ars::Transform::InverseSqrt;
  lesson.density.splits = {-0.5, 1.0 / 3};
  lesson.tScale = true;
  Lesson back;
  ASSERT_EQ(parseLesson(lessonJson(lesson), back), "");
  EXPECT_EQ(back.density.transform, ars::Transform::InverseSqrt);
  EXPECT_EQ(back.density.splits, lesson.density.splits);
  EXPECT_EQ(back.tScale, std::optional<bool>(true));
  // A file without the keys is log-concave, as files always were.
  ASSERT_EQ(parseLesson(R"j({"density": "exp(-x^2/2)", "lower": "-inf", "upper": "inf"})j", back), "");
  EXPECT_EQ(back.density.transform, ars::Transform::Log);
  EXPECT_TRUE(back.density.splits.empty());
  EXPECT_FALSE(back.tScale.has_value());
  // Bad values are named with their key.
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "transform": "sqrt"})j"),
            "The field \"transform\" must be \"log\" or \"inverse-sqrt\" (it is \"sqrt\").");
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "splits": [0.5, 0.25]})j"),
            "The field \"splits\": The split point 0.25 does not lie above the one before it.");
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "splits": [2]})j"),
            "The field \"splits\": The split point 2 lies outside the support (0, 1).");
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "splits": "0.5"})j"),
            "The field \"splits\" must be a list of numbers, as [-1.2, 1.2].");
  EXPECT_NE(problemOf(R"j({"builtin": "beta-2-3", "transform": "log"})j").find("\"transform\""), std::string::npos);
}

TEST(LessonFile, NamesWhatIsWrongWithABadFile) {
  EXPECT_EQ(problemOf("{\"density\": \"x\", "),
            "The file is not JSON: unterminated object at character 18.");
  EXPECT_EQ(problemOf("[1, 2]"), "The file holds no JSON object.");
  EXPECT_EQ(problemOf(R"j({"lower": 0, "upper": 1})j"),
            "The field \"density\" (or \"logDensity\") is missing.");
  EXPECT_EQ(problemOf(R"j({"density": "x", "logDensity": "x", "lower": 0, "upper": 1})j"),
            "The file gives both \"density\" and \"logDensity\"; give one.");
  EXPECT_EQ(problemOf(R"j({"density": 3, "lower": 0, "upper": 1})j"),
            "The field \"density\" must be a formula in quotes.");
  EXPECT_EQ(problemOf(R"j({"density": "x", "upper": 1})j"), "The field \"lower\" is missing.");
  EXPECT_EQ(problemOf(R"j({"density": "x", "lower": 0})j"), "The field \"upper\" is missing.");
  EXPECT_EQ(problemOf(R"j({"density": "x", "lower": "nan", "upper": 1})j"),
            "The field \"lower\" must be a number, \"-inf\" or \"inf\".");
  EXPECT_EQ(problemOf(R"j({"density": "x", "lower": 0, "upper": true})j"),
            "The field \"upper\" must be a number, \"-inf\" or \"inf\".");
  EXPECT_EQ(problemOf(R"j({"density": "x", "lower": 0, "upper": 1, "scale": "loglog"})j"),
            "The field \"scale\" must be \"normal\" or \"log\".");
  EXPECT_EQ(problemOf(R"j({"density": "x", "lower": 0, "upper": 1, "title": 7})j"),
            "The field \"title\" must be a text in quotes.");
  Lesson lesson;
  const std::string missing = readLessonFile("/nonexistent/lesson.json", lesson);
  EXPECT_EQ(missing.rfind("Cannot read /nonexistent/lesson.json", 0), 0u) << missing;
}

TEST(LessonFile, ShippedExamplesReadAndTheirFormulasParse) {
  const QDir examples(QStringLiteral(ARS_LESSON_EXAMPLES));
  const QStringList names = examples.entryList({"*.json"}, QDir::Files, QDir::Name);
  EXPECT_GE(names.size(), 5);
  for (const QString& name : names) {
    Lesson lesson;
    ASSERT_EQ(readLessonFile(examples.filePath(name), lesson), "") << name.toStdString();
    EXPECT_FALSE(lesson.title.empty());
    EXPECT_NO_THROW(FormulaDensity(lesson.density.formula,
                                   lesson.density.logDensity ? FormulaDensity::Form::logDensity
                                                             : FormulaDensity::Form::density,
                                   lesson.density.lower, lesson.density.upper))
        << name.toStdString();
  }
}

TEST(LessonFile, ReadsTheWindowsStateAndNamesABadKey) {
  Lesson lesson;
  ASSERT_EQ(parseLesson(R"j({"builtin": "gamma-10-0.1", "seed": 7, "steps": 0, "darts": 20000, "speed": 16.7,
                             "wholeEnvelope": true, "histogram": false, "largerPoints": true})j",
                        lesson),
            "");
  EXPECT_EQ(lesson.builtin, 4);
  EXPECT_EQ(lesson.seed, 7);
  EXPECT_EQ(lesson.steps, 0);
  EXPECT_EQ(lesson.darts, 20000);
  EXPECT_EQ(lesson.speed, 5);
  EXPECT_EQ(lesson.wholeEnvelope, true);
  EXPECT_EQ(lesson.histogram, false);
  EXPECT_EQ(lesson.largerPoints, true);
  // An old file leaves the new keys at their defaults or to the window.
  ASSERT_EQ(parseLesson(R"j({"density": "x", "lower": 0, "upper": 1})j", lesson), "");
  EXPECT_EQ(lesson.builtin, 0);
  EXPECT_EQ(lesson.seed, 1001);
  EXPECT_EQ(lesson.steps, SavedView::notStepping);
  EXPECT_EQ(lesson.darts, 5000);
  EXPECT_FALSE(lesson.speed || lesson.wholeEnvelope || lesson.histogram || lesson.largerPoints);

  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-2"})j"),
            "The field \"builtin\" must be \"beta-2-3\", \"beta-0.5-2\", \"gamma-1-1\", \"gamma-10-0.1\", "
            "\"gamma-0.5-2\" or \"test-density\".");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "lower": 0})j"),
            "The file gives both \"builtin\" and \"lower\"; a built-in density has its own formula, support and "
            "caption.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "seed": 1.5})j"),
            "The field \"seed\" must be a whole number from 1 to 2147483646.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "steps": -1})j"),
            "The field \"steps\" must be a whole number from 0 to 100000.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "darts": 999})j"),
            "The field \"darts\" must be a whole number from 1000 to 100000.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "speed": 3})j"),
            "The field \"speed\" must be one of 0.5, 1, 2, 4, 8 or 16.7 (steps a second).");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "histogram": "yes"})j"),
            "The field \"histogram\" must be true or false.");
}

}  // namespace
