// The lesson format without a front end: what is read, what is refused and
// how, the text written, and numbers that come back to the last bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "density/formula_density.h"
#include "studio/lesson_json.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

std::string problemOf(const std::string& json) {
  Lesson lesson;
  return parseLesson(json, lesson);
}

TEST(LessonJson, ReadsTheDocumentedExample) {
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

TEST(LessonJson, RoundTripsEveryField) {
  Lesson lesson;
  lesson.title = "Posterior \"quoted\" \u00e9";
  lesson.density = DensityChoice{"", "2*log(x) + 3*log(1-x)", true, 1.0 / 3, inf};
  lesson.scale = LessonScale::normal;
  Lesson back;
  ASSERT_EQ(parseLesson(lessonJson(lesson), back), "");
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

TEST(LessonJson, KeepsTheTransformationSplitPointsAndTScale) {
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
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "transform": 2})j"),
            "The field \"transform\" must be \"log\" or \"inverse-sqrt\" (it is not a text).");
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "splits": [0.5, 0.25]})j"),
            "The field \"splits\": The split point 0.25 does not lie above the one before it.");
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "splits": [2]})j"),
            "The field \"splits\": The split point 2 lies outside the support (0, 1).");
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "splits": "0.5"})j"),
            "The field \"splits\" must be a list of numbers, as [-1.2, 1.2].");
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "splits": [0.5, "0.7"]})j"),
            "The field \"splits\" must hold only numbers.");
  EXPECT_NE(problemOf(R"j({"builtin": "beta-2-3", "transform": "log"})j").find("\"transform\""), std::string::npos);
}

TEST(LessonJson, NamesWhatIsWrongWithABadFile) {
  EXPECT_EQ(problemOf("[1, 2]"), "The file holds no JSON object.");
  EXPECT_EQ(problemOf("\"lesson\""), "The file holds no JSON object.");
  EXPECT_EQ(problemOf(R"j({"lower": 0, "upper": 1})j"), "The field \"density\" (or \"logDensity\") is missing.");
  EXPECT_EQ(problemOf(R"j({"density": "x", "logDensity": "x", "lower": 0, "upper": 1})j"),
            "The file gives both \"density\" and \"logDensity\"; give one.");
  EXPECT_EQ(problemOf(R"j({"density": 3, "lower": 0, "upper": 1})j"),
            "The field \"density\" must be a formula in quotes.");
  EXPECT_EQ(problemOf(R"j({"logDensity": null, "lower": 0, "upper": 1})j"),
            "The field \"logDensity\" must be a formula in quotes.");
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
  // A number typed as text is read, as people type them.
  Lesson lesson;
  ASSERT_EQ(parseLesson(R"j({"density": "x", "lower": "-2.5", "upper": "1e3"})j", lesson), "");
  EXPECT_EQ(lesson.density.lower, -2.5);
  EXPECT_EQ(lesson.density.upper, 1000);
}

TEST(LessonJson, SaysWhereTheTextStopsBeingJson) {
  EXPECT_EQ(problemOf("{\"density\": \"x\", "), "The file is not JSON: unterminated object at character 18.");
  EXPECT_EQ(problemOf("{\"splits\": [1, 2"), "The file is not JSON: unterminated array at character 17.");
  EXPECT_EQ(problemOf("{\"density\": \"x"), "The file is not JSON: unterminated string at character 15.");
  EXPECT_EQ(problemOf("{\"density\": \"x\"} x"), "The file is not JSON: text after the end of the object at character 18.");
  EXPECT_EQ(problemOf("{\"lower\": 0,}"), "The file is not JSON: unexpected '}'; expected string literal at character 13.");
  EXPECT_EQ(problemOf("{\"lower\": NaN}"), "The file is not JSON: invalid literal at character 11.");
  EXPECT_EQ(problemOf(""), "The file is empty.");
  EXPECT_EQ(problemOf(" \n "), "The file is empty.");
  EXPECT_EQ(problemOf("{\"lower\": 1e999}"), "The file is not JSON: it holds a number too large for a double.");
  // Nesting as deep as the size allows ends in a message, not a crash.
  const std::size_t depth = maxLessonFileSize / 2;
  EXPECT_EQ(problemOf(std::string(depth, '[') + std::string(depth, ']')), "The file holds no JSON object.");
  EXPECT_EQ(problemOf("{\"title\": " + std::string(depth - 8, '[')),
            "The file is not JSON: unterminated array at character " + std::to_string(depth + 3) + ".");
  // Anything larger than a lesson is refused before it is read.
  const std::string padded = "{\"density\": \"x\", \"lower\": 0, \"upper\": 1}" + std::string(maxLessonFileSize, ' ');
  EXPECT_EQ(problemOf(padded), "The file is too large for a lesson.");
  EXPECT_EQ(problemOf(padded.substr(0, maxLessonFileSize)), "");
}

TEST(LessonJson, ReadsTheWindowsStateAndNamesABadKey) {
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
  // A refused file leaves the lesson as it was.
  lesson.seed = 99;
  ASSERT_NE(parseLesson(R"j({"builtin": "beta-2-3", "seed": 5, "darts": 1})j", lesson), "");
  EXPECT_EQ(lesson.seed, 99);

  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-2"})j"),
            "The field \"builtin\" must be \"beta-2-3\", \"beta-0.5-2\", \"gamma-1-1\", \"gamma-10-0.1\", "
            "\"gamma-0.5-2\" or \"test-density\".");
  EXPECT_EQ(problemOf(R"j({"builtin": 1})j").rfind("The field \"builtin\" must be \"beta-2-3\"", 0), 0u);
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "lower": 0})j"),
            "The file gives both \"builtin\" and \"lower\"; a built-in density has its own formula, support and "
            "caption.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "seed": 1.5})j"),
            "The field \"seed\" must be a whole number from 1 to 2147483646.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "seed": 2147483647})j"),
            "The field \"seed\" must be a whole number from 1 to 2147483646.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "seed": "7"})j"),
            "The field \"seed\" must be a whole number from 1 to 2147483646.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "steps": -1})j"),
            "The field \"steps\" must be a whole number from 0 to 100000.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "steps": 100001})j"),
            "The field \"steps\" must be a whole number from 0 to 100000.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "darts": 999})j"),
            "The field \"darts\" must be a whole number from 1000 to 100000.");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "speed": 3})j"),
            "The field \"speed\" must be one of 0.5, 1, 2, 4, 8 or 16.7 (steps a second).");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "speed": "fast"})j"),
            "The field \"speed\" must be one of 0.5, 1, 2, 4, 8 or 16.7 (steps a second).");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "histogram": "yes"})j"),
            "The field \"histogram\" must be true or false.");
}

TEST(LessonJson, RefusesAnUnknownKeyNamingTheNearestKnownOne) {
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "stepz": 6})j"),
            "The file has an unknown key \"stepz\" (did you mean \"steps\"?).");
  EXPECT_EQ(problemOf(R"j({"logdensity": "-x^2", "lower": 0, "upper": 1})j"),
            "The file has an unknown key \"logdensity\" (did you mean \"logDensity\"?).");
  // Said before the missing key it may stand for.
  EXPECT_EQ(problemOf(R"j({"density": "1", "lowr": 0, "upper": 1})j"),
            "The file has an unknown key \"lowr\" (did you mean \"lower\"?).");
  const std::string far = problemOf(R"j({"builtin": "beta-2-3", "colour": "red"})j");
  EXPECT_EQ(far.rfind("The file has an unknown key \"colour\"; a lesson's keys are \"title\", ", 0), 0u) << far;
  // A NUL in what is echoed is shown escaped, not where the message ends.
  const std::string nul = problemOf(std::string("{\"builtin\": \"beta-2-3\", \"st\\u0000eps\": 6}"));
  EXPECT_EQ(nul, "The file has an unknown key \"st\\u0000eps\" (did you mean \"steps\"?).");
  EXPECT_EQ(std::strlen(nul.c_str()), nul.size());
  EXPECT_EQ(problemOf(R"j({"density": "1", "lower": 0, "upper": 1, "transform": "lo\u0000g"})j"),
            "The field \"transform\" must be \"log\" or \"inverse-sqrt\" (it is \"lo\\u0000g\").");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "title": "Beta\nlecture"})j"),
            "The field \"title\" must be one line without control characters (it is \"Beta\\nlecture\").");
}

TEST(LessonJson, ATitleBesideABuiltinNamesTheLessonAndIsWrittenBack) {
  Lesson lesson;
  ASSERT_EQ(parseLesson(R"j({"title": "Beta, the classic", "builtin": "beta-2-3", "steps": 3})j", lesson), "");
  EXPECT_EQ(lesson.builtin, 1);
  EXPECT_EQ(lesson.title, "Beta, the classic");
  Lesson back;
  ASSERT_EQ(parseLesson(lessonJson(lesson), back), "");
  EXPECT_EQ(back.title, lesson.title);
  EXPECT_EQ(back.builtin, 1);
  // The plot keeps the kind's own caption and picture.
  const SavedView shown;
  EXPECT_EQ(lessonView(lesson, shown).densityKind, 1);
  EXPECT_EQ(lessonView(lesson, shown).otherChoice.caption, shown.otherChoice.caption);
}

TEST(LessonJson, TheThemeAndTheFixedAxisAreReadWrittenAndChecked) {
  Lesson lesson;
  ASSERT_EQ(parseLesson(R"j({"builtin": "beta-2-3", "theme": "projector", "fixedAxis": true})j", lesson), "");
  ASSERT_TRUE(lesson.theme);
  EXPECT_EQ(*lesson.theme, PlotTheme::projector);
  ASSERT_TRUE(lesson.fixedAxis);
  EXPECT_TRUE(*lesson.fixedAxis);
  const std::string text = lessonJson(lesson);
  EXPECT_NE(text.find("\"theme\": \"projector\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"fixedAxis\": true"), std::string::npos) << text;
  Lesson back;
  ASSERT_EQ(parseLesson(text, back), "");
  EXPECT_EQ(back.theme, lesson.theme);
  EXPECT_EQ(back.fixedAxis, lesson.fixedAxis);
  const SavedView shown;
  EXPECT_EQ(lessonView(lesson, shown).view.theme, PlotTheme::projector);
  EXPECT_TRUE(lessonView(lesson, shown).view.fixedAxis);
  ASSERT_EQ(parseLesson(R"j({"builtin": "beta-2-3", "theme": "classic"})j", back), "");
  EXPECT_EQ(back.theme, PlotTheme::classic);
  // Left unsaid, they stay as the window has them.
  ASSERT_EQ(parseLesson(R"j({"builtin": "beta-2-3"})j", back), "");
  EXPECT_FALSE(back.theme);
  EXPECT_FALSE(back.fixedAxis);

  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "theme": "dark"})j"),
            "The field \"theme\" must be \"classic\" or \"projector\" (it is \"dark\").");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "theme": 1})j"),
            "The field \"theme\" must be \"classic\" or \"projector\" (it is not a text).");
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "fixedAxis": "yes"})j").rfind("The field \"fixedAxis\"", 0), 0u);
  EXPECT_EQ(problemOf(R"j({"builtin": "beta-2-3", "theem": "projector"})j"),
            "The file has an unknown key \"theem\" (did you mean \"theme\"?).");
}

// The text as the Qt writer wrote it, which saved files and their readers know.
TEST(LessonJson, WritesTheTextFilesAlwaysHad) {
  Lesson typed;
  typed.title = "Posterior \"quoted\" \u00e9";
  typed.density = DensityChoice{"", "2*log(x) + 3*log(1-x)", true, 1.0 / 3, inf};
  typed.scale = LessonScale::normal;
  EXPECT_EQ(lessonJson(typed),
            "{\n"
            "    \"darts\": 5000,\n"
            "    \"logDensity\": \"2*log(x) + 3*log(1-x)\",\n"
            "    \"lower\": 0.3333333333333333,\n"
            "    \"scale\": \"normal\",\n"
            "    \"seed\": 1001,\n"
            "    \"title\": \"Posterior \\\"quoted\\\" \u00e9\",\n"
            "    \"upper\": \"inf\"\n"
            "}\n");
  Lesson state;
  state.density = DensityChoice{"", "1/(1+x^2)", false, -inf, 2};
  state.density.transform = ars::Transform::InverseSqrt;
  state.density.splits = {-0.5, 1.0 / 3, 1};
  state.tScale = true;
  state.steps = 12;
  state.speed = 5;
  state.wholeEnvelope = false;
  state.histogram = true;
  state.largerPoints = false;
  state.twoBeats = true;
  state.seed = 7;
  state.darts = 20000;
  EXPECT_EQ(lessonJson(state),
            "{\n"
            "    \"darts\": 20000,\n"
            "    \"density\": \"1/(1+x^2)\",\n"
            "    \"histogram\": true,\n"
            "    \"largerPoints\": false,\n"
            "    \"lower\": \"-inf\",\n"
            "    \"seed\": 7,\n"
            "    \"speed\": 16.7,\n"
            "    \"splits\": [\n"
            "        -0.5,\n"
            "        0.3333333333333333,\n"
            "        1\n"
            "    ],\n"
            "    \"steps\": 12,\n"
            "    \"tScale\": true,\n"
            "    \"transform\": \"inverse-sqrt\",\n"
            "    \"twoBeats\": true,\n"
            "    \"upper\": 2,\n"
            "    \"wholeEnvelope\": false\n"
            "}\n");
  Lesson builtin;
  builtin.builtin = 2;
  builtin.speed = 0;
  builtin.scale = LessonScale::log;
  EXPECT_EQ(lessonJson(builtin),
            "{\n"
            "    \"builtin\": \"beta-0.5-2\",\n"
            "    \"darts\": 5000,\n"
            "    \"scale\": \"log\",\n"
            "    \"seed\": 1001,\n"
            "    \"speed\": 0.5\n"
            "}\n");
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every double written as a support end or a split point reads back as the
// same double: integers beyond 2^53, subnormals, -0 and all bit patterns.
TEST(LessonJson, NumbersComeBackToTheLastBit) {
  std::vector<double> values = {0.1,     -0.0,   1e-4,    5e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
                                -1e300,  1e21,   9007199254740993.0, 9007199254740992.0,   18446744073709551616.0,
                                123456789012345680000.0, 16.7, -2.5, 1.0 / 3};
  std::mt19937_64 bits(20);
  while (values.size() < 3000) {
    const std::uint64_t b = bits();
    double v;
    std::memcpy(&v, &b, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
    // Integers of every size, where a writer may switch to an exponent.
    values.push_back(std::ldexp(static_cast<double>(bits() >> 11), static_cast<int>(bits() % 40)));
  }
  for (const double v : values) {
    Lesson lesson;
    lesson.density = DensityChoice{"", "x", true, v, inf};
    Lesson back;
    const std::string json = lessonJson(lesson);
    ASSERT_EQ(parseLesson(json, back), "") << json;
    ASSERT_TRUE(sameBits(back.density.lower, v)) << json;
  }
  Lesson split;
  split.density = DensityChoice{"", "x", true, -inf, inf};
  split.density.splits = {-1e-300, -0.0, 4.9406564584124654e-324, 1e-5, 0.1, 3e22};
  Lesson back;
  ASSERT_EQ(parseLesson(lessonJson(split), back), "");
  ASSERT_EQ(back.density.splits.size(), split.density.splits.size());
  for (std::size_t i = 0; i < split.density.splits.size(); ++i) {
    EXPECT_TRUE(sameBits(back.density.splits[i], split.density.splits[i])) << i;
  }
}

TEST(LessonJson, ShippedExamplesReadAndTheirFormulasParse) {
  int read = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ARS_LESSON_EXAMPLES)) {
    if (entry.path().extension() != ".json") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    Lesson lesson;
    ASSERT_EQ(parseLesson(text.str(), lesson), "") << entry.path();
    EXPECT_FALSE(lesson.title.empty());
    EXPECT_NO_THROW(FormulaDensity{lesson.density}) << entry.path();
    // Written again, each reads back the same.
    Lesson again;
    ASSERT_EQ(parseLesson(lessonJson(lesson), again), "") << entry.path();
    EXPECT_EQ(lessonJson(again), lessonJson(lesson));
    ++read;
  }
  EXPECT_GE(read, 5);
}

}  // namespace
