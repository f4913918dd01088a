// The session without any front end: questions are state, answers come back,
// and nothing waits on a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <utility>

#include "resources/command_ids.h"
#include "studio/command_table.h"
#include "studio/lesson_json.h"
#include "studio/menus.h"
#include "studio/session.h"
#include "support/recording_canvas.h"

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();

std::string describe(const RecordingCanvas& canvas) {
  std::string text;
  for (const Primitive& p : canvas.log) {
    text += std::to_string(p.kind) + " " + std::to_string(p.a) + " " + std::to_string(p.b) + " " +
            std::to_string(p.c) + " " + std::to_string(p.d) + " " + std::to_string(p.pen) + " " +
            std::to_string(p.brush) + " " + p.text + "\n";
  }
  return text;
}

TEST(Session, QuestionsAreStateAndTheNextCommandDropsThem) {
  Session session;
  const Effects keys = session.apply(CommandId::keys);
  ASSERT_TRUE(keys.question);
  EXPECT_EQ(keys.question->kind, QuestionKind::Message);
  EXPECT_EQ(keys.question->caption, "Keys");
  ASSERT_TRUE(session.pending());
  // Answering a question that is no longer pending changes nothing.
  const Question stale = *keys.question;
  session.apply(CommandId::refresh);
  EXPECT_FALSE(session.pending());
  EXPECT_FALSE(session.answer(stale, Choice::Ok).repaint);

  const Effects other = session.apply(CommandId::otherDensity);
  ASSERT_TRUE(other.question);
  EXPECT_EQ(other.question->kind, QuestionKind::ChooseDensity);
  const Effects cancelled = session.answer(*other.question, Choice::Cancel);
  EXPECT_FALSE(cancelled.repaint);
  EXPECT_FALSE(session.model().density.isOther());

  // A bad formula keeps the density shown and says why.
  const Effects bad = session.chooseDensity({"", "exp(-x^2/2", false, -inf, inf});
  ASSERT_TRUE(bad.question);
  EXPECT_EQ(bad.question->caption, "Density not usable");
  EXPECT_FALSE(session.model().density.isOther());
  const Effects good = session.chooseDensity({"Normal", "exp(-x^2/2)", false, -inf, inf});
  EXPECT_TRUE(good.repaint);
  EXPECT_FALSE(good.question);
  EXPECT_TRUE(session.model().density.isOther());
  EXPECT_NE(good.status, "");
}

TEST(Session, TheOfferOfInverseSqrtIsAnsweredAfterTheCommandEnds) {
  Session session;
  ASSERT_FALSE(session.chooseDensity({"", "1/(1+x^2)", false, -inf, inf}).question);
  const Effects refused = session.apply(CommandId::throwDarts);
  ASSERT_TRUE(refused.question);
  ASSERT_EQ(refused.question->kind, QuestionKind::Offer);
  EXPECT_TRUE(session.model().darts.x.empty());
  // The picture already shows the refusal while the question is open.
  EXPECT_TRUE(refused.repaint);
  const Effects taken = session.answer(*refused.question, Choice::Action);
  EXPECT_EQ(session.model().density.otherChoice.transform, ars::Transform::InverseSqrt);
  EXPECT_EQ(session.model().darts.x.size(), 5000u);  // the throw that met the refusal, again
  EXPECT_TRUE(taken.repaint);
  EXPECT_FALSE(session.pending());

  // Declined: the density stays refused, nothing is thrown.
  Session declined;
  declined.chooseDensity({"", "1/(1+x^2)", false, -inf, inf});
  const Effects again = declined.apply(CommandId::throwDarts);
  ASSERT_TRUE(again.question);
  declined.answer(*again.question, Choice::Ok);
  EXPECT_EQ(declined.model().density.otherChoice.transform, ars::Transform::Log);
  EXPECT_TRUE(declined.model().darts.x.empty());
}

TEST(Session, AnimationIsATimerTheFrontEndRuns) {
  Session session;
  const Effects start = session.apply(CommandId::animateSteps);
  EXPECT_EQ(start.timer, Effects::Timer::Start);
  EXPECT_GT(start.timerMilliseconds, 0);
  EXPECT_TRUE(session.model().stepping.active);
  const int before = session.model().stepping.stepsTaken;
  EXPECT_TRUE(session.tick().repaint);
  EXPECT_EQ(session.model().stepping.stepsTaken, before + 1);
  // A box stops it: nothing steps on behind a question.
  const Effects keys = session.apply(CommandId::keys);
  EXPECT_EQ(keys.timer, Effects::Timer::Stop);
  EXPECT_FALSE(session.model().stepping.animating);
  EXPECT_FALSE(session.tick().repaint);
}

TEST(Session, TheSameCommandsGiveTheSamePicture) {
  const int commands[] = {124, CommandId::startStepping, CommandId::nextStep, CommandId::nextStep,
                          CommandId::stepBack, CommandId::logScale};
  Session a;
  Session b;
  for (int id : commands) {
    a.apply(id);
    b.apply(id);
  }
  const Rect client{0, 0, 640, 480};
  RecordingCanvas first;
  RecordingCanvas second;
  paint(first, client, a);
  paint(second, client, b);
  EXPECT_FALSE(first.log.empty());
  EXPECT_TRUE(describe(first) == describe(second));
  EXPECT_EQ(a.statusLine(), b.statusLine());
}

TEST(Session, ALessonsTextReopensTheSameStateAndABrokenOneKeepsIt) {
  Session lecturer;
  for (int id : {124, CommandId::logScale, CommandId::startStepping, CommandId::nextStep, CommandId::nextStep,
                 CommandId::nextStep}) {
    lecturer.apply(id);
  }
  const std::string link = lecturer.lessonText();
  Session student;
  const Effects opened = student.openLessonText(link);
  EXPECT_FALSE(opened.question);
  EXPECT_TRUE(opened.repaint);
  EXPECT_EQ(student.model().density.kind, 4);
  EXPECT_EQ(student.model().stepping.stepsTaken, lecturer.model().stepping.stepsTaken);
  EXPECT_EQ(student.statusLine(), lecturer.statusLine());
  RecordingCanvas shown;
  RecordingCanvas followed;
  paint(shown, lecturer.client(), lecturer);
  paint(followed, student.client(), student);
  EXPECT_TRUE(describe(shown) == describe(followed));
  // The same darts after the same command.
  lecturer.apply(CommandId::throwDarts);
  student.apply(CommandId::throwDarts);
  EXPECT_EQ(student.model().darts.x, lecturer.model().darts.x);

  // A broken link says why and leaves the picture as it was.
  const std::string before = student.statusLine();
  for (const char* broken : {"{\"builtin\":\"beta-9-9\"}", "{\"builtin\":\"beta-2-3\",", "", "[1,2]"}) {
    const Effects refused = student.openLessonText(broken);
    ASSERT_TRUE(refused.question) << broken;
    EXPECT_EQ(refused.question->caption, "Open lesson");
    EXPECT_EQ(refused.question->text.rfind("The lesson cannot be opened:\n", 0), 0u) << refused.question->text;
    EXPECT_FALSE(refused.repaint);
    EXPECT_EQ(student.statusLine(), before);
    EXPECT_EQ(student.model().darts.x, lecturer.model().darts.x);
  }
}

TEST(Session, ALessonsDensityIsCheckedAsTheDialogChecksItBeforeAnythingChanges) {
  Session session;
  for (int id : {124, CommandId::startStepping, CommandId::nextStep, CommandId::nextStep}) session.apply(id);
  const std::string status = session.statusLine();
  RecordingCanvas before;
  paint(before, session.client(), session);
  const std::pair<const char*, const char*> refusals[] = {
      {R"j({"logDensity": "x", "lower": 0, "upper": "inf"})j",
       "The density does not fall off towards inf: it is not integrable there."},
      {R"j({"density": "1", "lower": -1.7976931348623157e308, "upper": 1.7976931348623157e308})j",
       "The support [-1.7976931348623157e+308, 1.7976931348623157e+308] is wider than the largest double: its "
       "width overflows. Give nearer ends."},
      {R"j({"density": "sqrt(x)", "lower": -1, "upper": 1})j", "The density is not a number at x = -0.999998."},
      {R"j({"builtin": "beta-2-3", "stepz": 6})j", "The file has an unknown key \"stepz\" (did you mean \"steps\"?)."},
  };
  for (const auto& [text, problem] : refusals) {
    const Effects refused = session.openLessonText(text);
    ASSERT_TRUE(refused.question) << text;
    EXPECT_EQ(refused.question->text, std::string("The lesson cannot be opened:\n") + problem);
    EXPECT_FALSE(refused.repaint);
    EXPECT_EQ(session.model().density.kind, 4);
    EXPECT_TRUE(session.model().stepping.active);
    EXPECT_EQ(session.statusLine(), status);
    RecordingCanvas after;
    paint(after, session.client(), session);
    EXPECT_TRUE(describe(after) == describe(before)) << text;
  }
}

// Some examples show a density the sampler refuses, as a teaching moment:
// they have a finite mass and open; the refusal comes when sampling.
TEST(Session, EveryShippedExampleOpens) {
  int opened = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ARS_LESSON_EXAMPLES)) {
    if (entry.path().extension() != ".json") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    Session session;
    const Effects effects = session.openLessonText(text.str());
    EXPECT_TRUE(effects.repaint) << entry.path();
    EXPECT_FALSE(effects.question && effects.question->caption == std::string("Open lesson")) << entry.path();
    EXPECT_EQ(session.model().density.kind, otherDensityKind) << entry.path();
    ++opened;
  }
  EXPECT_GE(opened, 10);
}

TEST(Session, ABuiltinLessonsTitleIsSavedWhileItsKindIsShown) {
  Session session;
  ASSERT_FALSE(session.openLessonText(R"j({"title": "Beta, the classic", "builtin": "beta-2-3", "steps": 2})j").question);
  EXPECT_EQ(session.lesson().title, "Beta, the classic");
  Lesson reread;
  ASSERT_EQ(parseLesson(session.lessonText(), reread), "");
  EXPECT_EQ(reread.title, "Beta, the classic");
  // Another kind is not that lesson any more.
  session.apply(124);
  EXPECT_EQ(session.lesson().title, "");
}

TEST(CommandTable, KeysBoxMenusAndChecksComeFromTheRows) {
  const std::string keys = keysText();
  for (const Accelerator& key : acceleratorTable()) {
    EXPECT_NE(keys.find(keyName(key)), std::string::npos) << keyName(key);
  }
  // Every menu item is a row; the rows reachable by id only have none.
  for (const MenuPopup& popup : mainMenu()) {
    for (const MenuItem& item : popup.items) {
      if (item.text == nullptr) continue;
      const CommandRow* row = findCommand(item.id);
      ASSERT_NE(row, nullptr) << item.text;
      EXPECT_FALSE(row->hidden);
    }
  }
  for (int hidden : {122, 123, 125, CommandId::stepUntilAccepted}) {
    ASSERT_NE(findCommand(hidden), nullptr);
    EXPECT_TRUE(findCommand(hidden)->hidden);
  }
  Session session;
  session.apply(123);
  EXPECT_TRUE(commandChecked(*findCommand(123), session.model()));
  EXPECT_FALSE(commandChecked(*findCommand(121), session.model()));
  EXPECT_FALSE(commandEnabled(*findCommand(CommandId::tScale), session.model()));
}
}  // namespace

TEST(Session, ATypedFormulaTooLongForANarrowWindowIsCutAtItsEndInSight) {
  Session session;
  session.resize(Rect{0, 0, 390, 700});
  ASSERT_FALSE(session.openLessonText(R"j({"density":"0.3*exp(-(x+3)^2/2) + 0.7*2*exp(-(x-2)^2*2)",)j"
                                      R"j("lower":"-inf","upper":"inf"})j")
                   .question);
  RecordingCanvas canvas;
  paint(canvas, session.client(), session);
  const std::vector<std::string> texts = canvas.texts();
  const auto caption = std::find_if(texts.begin(), texts.end(),
                                    [](const std::string& t) { return t.rfind("Density 0.3*exp", 0) == 0; });
  ASSERT_NE(caption, texts.end());
  EXPECT_LE(canvas.textExtent(*caption).cx, 390);
  EXPECT_EQ(caption->substr(caption->size() - 3), "\u2026");
  // Wide enough, the whole caption.
  session.resize(Rect{0, 0, 1920, 1080});
  RecordingCanvas wide;
  paint(wide, session.client(), session);
  const std::vector<std::string> all = wide.texts();
  EXPECT_NE(std::find(all.begin(), all.end(),
                      "Density 0.3*exp(-(x+3)^2/2) + 0.7*2*exp(-(x-2)^2*2) on [-inf, inf]"),
            all.end());
}
