// A lesson keeps the window's state: opening one gives the picture it was
// saved with, pixel for pixel.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <initializer_list>

#include "frontends/qt/main_window.h"
#include "frontends/qt/dialogs/qt_lesson_file.h"
#include "frontends/qt/platform/qt_canvas.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"

namespace {

struct Window {
  Window() : window(800, 600) { app.attach(window); }
  QImage render() {
    QImage image(window.width, window.height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, window.width, window.height), Qt::white);
    QtCanvas canvas(painter);
    app.paint(canvas);
    return image;
  }
  void run(std::initializer_list<int> ids) {
    for (int id : ids) app.command(id);
  }
  std::string open(const char* json) {
    Lesson lesson;
    const std::string problem = parseLesson(json, lesson);
    return problem.empty() ? app.openLesson(lesson) : problem;
  }
  FakeWindow window;
  MainWindow app;
};

TEST(LessonPicture, StepsAreReplayedAsTheKeysWouldTakeThem) {
  Window keys;
  keys.run({CommandId::startStepping, 135, 135, 135, 135, 135, 135});
  Window lesson;
  lesson.run({CommandId::firstDensity + 3, CommandId::throwDarts, CommandId::logScale});
  ASSERT_EQ(lesson.open(R"j({"builtin": "beta-2-3", "steps": 6, "scale": "normal"})j"), "");
  EXPECT_EQ(lesson.app.statusLine(), keys.app.statusLine());
  EXPECT_TRUE(lesson.render() == keys.render());
}

TEST(LessonPicture, StepsCountWholeStepsWithTwoBeats) {
  // Steps 1 to 6 of Beta(2,3): rejected, accepted, rejected, accepted,
  // rejected, rejected. A rejected step takes two Ctrl+N, an accepted one.
  Window keys;
  keys.run({CommandId::twoBeats, CommandId::startStepping});
  for (int beat = 0; beat < 2 + 1 + 2 + 1 + 2 + 2; ++beat) keys.run({135});
  Window lesson;
  ASSERT_EQ(lesson.open(R"j({"builtin": "beta-2-3", "steps": 6, "twoBeats": true})j"), "");
  EXPECT_EQ(lesson.app.model().stepping.stepsTaken, 6);
  EXPECT_EQ(lesson.app.statusLine(), keys.app.statusLine());
  EXPECT_TRUE(lesson.render() == keys.render());
}

TEST(LessonPicture, ASavedLessonReopensOnTheSamePicture) {
  // Stepping begun after a throw, on the log scale, with larger points and
  // the whole envelope: the replay starts from where that stepping began.
  Window shown;
  shown.run({CommandId::firstDensity + 3, CommandId::logScale, CommandId::largerPoints, CommandId::wholeEnvelope,
             CommandId::throwDarts, CommandId::startStepping, 135, 135, 135, 135});
  const std::string json = lessonJson(currentLesson(shown.app.model()));
  Window reopened;
  ASSERT_EQ(reopened.open(json.c_str()), "") << json;
  EXPECT_TRUE(reopened.render() == shown.render()) << json;
  EXPECT_TRUE(reopened.app.model().view.largerPoints && reopened.app.model().view.wholeEnvelope);

  // A typed density with its caption, and a throw's size.
  Window typed;
  ASSERT_EQ(typed.open(R"j({"title": "Tail", "density": "exp(-x^2/2)", "lower": 1, "upper": "inf",
                            "darts": 2000, "histogram": true, "seed": 77})j"),
            "");
  typed.run({CommandId::throwDarts});
  EXPECT_EQ(typed.app.model().darts.x.size(), 2000u);
  typed.run({CommandId::startStepping, 135, 135, 135});
  Window again;
  ASSERT_EQ(again.open(lessonJson(currentLesson(typed.app.model())).c_str()), "");
  EXPECT_TRUE(again.render() == typed.render());
  EXPECT_EQ(again.app.model().darts.count, 2000);
}

TEST(LessonPicture, ABadLessonChangesNothing) {
  Window window;
  window.run({CommandId::startStepping, 135, 135});
  const QImage before = window.render();
  EXPECT_EQ(window.open(R"j({"density": "sqrt(x)", "lower": -1, "upper": 1, "steps": 3})j"),
            "The density is not a number at x = -0.999998.");
  EXPECT_TRUE(window.render() == before);
  EXPECT_EQ(window.app.model().stepping.stepsTaken, 2);
}

}  // namespace
