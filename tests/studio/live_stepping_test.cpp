// Stepping shown live: the accepted candidates under the curve, and plain
// rejection stepped beside the adaptive sampler. Both are rebuilt exactly by
// a step back or a replay, and the same lesson gives the same counts
// whatever ran before it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/plot_colors.h"
#include "model/plain_beside.h"
#include "resources/command_ids.h"
#include "studio/lesson_json.h"
#include "studio/session.h"
#include "support/recording_canvas.h"

namespace {

void steps(Session& session, int count) {
  for (int i = 0; i < count; ++i) session.apply(CommandId::nextStep);
}

// Stepped afresh to `count` steps, whatever the beats.
std::vector<double> acceptedAfter(const std::string& lesson, int count) {
  Session session;
  session.openLessonText(lesson);
  session.apply(CommandId::startStepping);
  while (session.model().stepping.stepsTaken < count) session.apply(CommandId::nextStep);
  return session.model().stepping.acceptedX;
}

const char* const builtinLesson = R"({"builtin": "gamma-10-0.1", "acceptedValues": true, "seed": 7})";
const char* const typedLesson = R"j({"density": "exp(-x^2/2)", "lower": "-inf", "upper": "inf", "seed": 7,
                                    "acceptedValues": true, "twoBeats": true})j";

TEST(AcceptedValues, CountUpWithTheStepsAndComeBackExactlyAfterStepBackAndRestart) {
  for (const char* lesson : {builtinLesson, typedLesson}) {
    SCOPED_TRACE(lesson);
    Session session;
    session.openLessonText(lesson);
    ASSERT_FALSE(session.pending());
    session.apply(CommandId::startStepping);
    steps(session, 40);
    const std::vector<double> after40 = session.model().stepping.acceptedX;
    const std::size_t accepted = session.model().stepping.acceptedX.size();
    ASSERT_GT(accepted, 5u);
    EXPECT_NE(session.statusLine().find(std::to_string(accepted) + " accepted so far."), std::string::npos)
        << session.statusLine();
    // Whole steps back (two beats make some of them two presses): the
    // replay rebuilds the list, never adds to it.
    const int stepsShown = session.model().stepping.stepsTaken;
    while (session.model().stepping.stepsTaken > stepsShown - 3) session.apply(CommandId::stepBack);
    EXPECT_EQ(session.model().stepping.acceptedX, acceptedAfter(lesson, stepsShown - 3));
    // Forward again to where it was, and from the seed again: the same values to the last bit.
    while (session.model().stepping.stepsTaken < stepsShown) session.apply(CommandId::nextStep);
    EXPECT_EQ(session.model().stepping.acceptedX, after40);
    session.apply(CommandId::restartFromSeed);
    session.apply(CommandId::startStepping);
    steps(session, 40);
    EXPECT_EQ(session.model().stepping.acceptedX, after40);
  }
}

// One tick of the rug for each accepted candidate in the frame: a short
// upright line in the darts' colour rising from just above the frame's bottom.
std::size_t rugTicks(const RecordingCanvas& canvas, int frameBottom) {
  std::size_t ticks = 0;
  const std::vector<Primitive>& log = canvas.log;
  for (std::size_t i = 1; i < log.size(); ++i) {
    const Primitive& from = log[i - 1];
    const Primitive& to = log[i];
    if (from.kind == Primitive::Move && to.kind == Primitive::Line && to.pen == PlotColor::darts &&
        from.a == to.a && from.b == frameBottom - 2 && to.b < from.b && from.b - to.b <= 30) {
      ++ticks;
    }
  }
  return ticks;
}

TEST(AcceptedValues, TheRugAndTheHistogramAppearOnlyWithTheOption) {
  Session session;
  session.resize({0, 0, 800, 600});
  session.openLessonText(R"({"builtin": "beta-2-3", "steps": 80})");
  const int frameBottom = session.layout().frame.bottom;
  RecordingCanvas off;
  paint(off, session.client(), session);
  EXPECT_EQ(rugTicks(off, frameBottom), 0u);

  session.apply(CommandId::acceptedValues);
  EXPECT_TRUE(session.model().stepping.active);  // a view command: the steps stay
  const std::size_t accepted = session.model().stepping.acceptedX.size();
  ASSERT_GE(accepted, 50u);  // enough for the bars
  RecordingCanvas on;
  paint(on, session.client(), session);
  EXPECT_EQ(rugTicks(on, frameBottom), accepted);
  EXPECT_GT(on.log.size(), off.log.size() + accepted);  // the bars behind

  // Off again: the picture as it was.
  session.apply(CommandId::acceptedValues);
  RecordingCanvas again;
  paint(again, session.client(), session);
  EXPECT_EQ(again.log.size(), off.log.size());
}

const char* const besideLesson = R"({"builtin": "beta-2-3", "plainBeside": true, "seed": 11, "steps": 30})";

struct Figures {
  std::vector<double> plainX;
  BesideCounts plain, adaptive;
  std::string status;
};

Figures figuresOf(const Session& session) {
  const PlainRejection& plain = session.model().stepping.plain;
  std::vector<double> xs = plain.acceptedX;
  xs.insert(xs.end(), plain.rejectedX.begin(), plain.rejectedX.end());
  return {xs, plainCounts(session.model()), adaptiveCounts(session.model()), session.statusLine()};
}

void expectSame(const Figures& a, const Figures& b) {
  EXPECT_EQ(a.plainX, b.plainX);
  EXPECT_EQ(a.plain.candidates, b.plain.candidates);
  EXPECT_EQ(a.plain.accepted, b.plain.accepted);
  EXPECT_EQ(a.adaptive.evaluations, b.adaptive.evaluations);
  EXPECT_EQ(a.adaptive.accepted, b.adaptive.accepted);
  EXPECT_EQ(a.status, b.status);
}

TEST(PlainBeside, TheSameLessonGivesTheSameCountsWhateverRanBefore) {
  Session fresh;
  fresh.openLessonText(besideLesson);
  const Figures first = figuresOf(fresh);
  EXPECT_EQ(first.plain.candidates, 30u);
  EXPECT_EQ(first.plain.evaluations, 30u);
  EXPECT_EQ(first.adaptive.candidates, 30u);
  EXPECT_GT(first.plain.accepted, 5u);
  EXPECT_LT(first.plain.accepted, 30u);
  EXPECT_EQ(first.status.rfind("Step 30, plain: 30 candidates, 30 evaluations, ", 0), 0u) << first.status;

  // Throws, a comparison and steps first use the window's random source; plain rejection's stream is its own.
  Session used;
  used.apply(CommandId::throwDarts);
  used.apply(CommandId::comparePlainRejection);
  used.apply(CommandId::plainBeside);
  used.apply(CommandId::startStepping);
  steps(used, 12);
  used.openLessonText(besideLesson);
  expectSame(figuresOf(used), first);

  // Stepped by hand to the same step, and back and forth: the same run.
  Session byHand;
  byHand.openLessonText(R"({"builtin": "beta-2-3", "plainBeside": true, "seed": 11, "steps": 0})");
  steps(byHand, 31);
  byHand.apply(CommandId::stepBack);
  expectSame(figuresOf(byHand), first);
  // The lesson saved there gives it again.
  Session reopened;
  reopened.openLessonText(byHand.lessonText());
  expectSame(figuresOf(reopened), first);
}

TEST(PlainBeside, StepBackCutsTheRunShorterAndTheTwoPanelsShowTheirCounts) {
  Session session;
  session.resize({0, 0, 1200, 700});
  session.openLessonText(besideLesson);
  const Figures at30 = figuresOf(session);
  session.apply(CommandId::stepBack);
  const PlainRejection& plain = session.model().stepping.plain;
  EXPECT_EQ(plain.evaluations, 29u);
  // The 30th candidate was the last of its list; the others are as they were.
  const std::size_t acceptedBefore = at30.plain.accepted - (plain.acceptedX.size() == at30.plain.accepted ? 0 : 1);
  EXPECT_EQ(plain.acceptedX.size(), acceptedBefore);

  RecordingCanvas canvas;
  paint(canvas, session.client(), session);
  const std::vector<std::string> texts = canvas.texts();
  const auto shown = [&texts](const std::string& prefix) {
    for (const std::string& t : texts) {
      if (t.rfind(prefix, 0) == 0) return t;
    }
    return std::string();
  };
  const std::string plainTitle = shown("Plain");
  const std::string adaptiveTitle = shown("Adaptive: ");
  EXPECT_NE(plainTitle.find("29 evaluations, " + std::to_string(plain.acceptedX.size()) + " accepted"),
            std::string::npos)
      << plainTitle;
  const BesideCounts adaptive = adaptiveCounts(session.model());
  EXPECT_NE(adaptiveTitle.find(std::to_string(adaptive.evaluations) + " evaluations, " +
                               std::to_string(adaptive.accepted) + " accepted"),
            std::string::npos)
      << adaptiveTitle;
  // Off, the classic stepping picture; the run is dropped.
  session.apply(CommandId::plainBeside);
  EXPECT_EQ(session.model().stepping.plain.evaluations, 0u);
  EXPECT_EQ(session.statusLine().rfind("Step 29: ", 0), 0u) << session.statusLine();
}

TEST(PlainBeside, TypedDensitiesAndTheTScaleStepBesideToo) {
  Session session;
  session.openLessonText(
      R"j({"density": "(1+x^2/3)^(-2)", "lower": "-inf", "upper": "inf", "transform": "inverse-sqrt",
           "tScale": true, "plainBeside": true, "acceptedValues": true, "steps": 25})j");
  ASSERT_FALSE(session.pending());
  const Figures figures = figuresOf(session);
  EXPECT_EQ(figures.plain.candidates, 25u);
  // An unbounded support: plain rejection covers only the plotted range, and says so.
  EXPECT_NE(figures.status.find("Plain covers only"), std::string::npos) << figures.status;
  RecordingCanvas canvas;
  paint(canvas, session.client(), session);
  EXPECT_FALSE(canvas.log.empty());
}

TEST(CompareWithPlainRejection, GivesTheSameCountsWhateverRanBefore) {
  Session fresh;
  fresh.apply(CommandId::comparePlainRejection);
  const DartsState& first = fresh.model().darts;
  ASSERT_TRUE(first.comparing);

  Session used;
  used.apply(CommandId::throwDarts);
  used.apply(CommandId::startStepping);
  steps(used, 7);
  used.apply(CommandId::comparePlainRejection);
  used.apply(CommandId::comparePlainRejection);
  const DartsState& again = used.model().darts;
  EXPECT_EQ(again.plain.evaluations, first.plain.evaluations);
  EXPECT_EQ(again.plain.acceptedX, first.plain.acceptedX);
  EXPECT_EQ(again.lastThrow.evaluations, first.lastThrow.evaluations);
  EXPECT_EQ(again.x, first.x);
  EXPECT_EQ(used.statusLine(), fresh.statusLine());
}

TEST(LiveLessons, TheTwoOptionsAreSavedReadBackAndCheckedAsFlags) {
  Session session;
  session.openLessonText(R"({"builtin": "beta-2-3", "acceptedValues": true, "plainBeside": true, "steps": 4})");
  ASSERT_FALSE(session.pending());
  EXPECT_TRUE(session.model().view.acceptedValues && session.model().view.plainBeside);
  const std::string saved = session.lessonText();
  EXPECT_NE(saved.find("\"acceptedValues\": true"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\"plainBeside\": true"), std::string::npos) << saved;
  // Saved off as well, so that a lesson reopens as it was saved in any window.
  session.apply(CommandId::acceptedValues);
  EXPECT_NE(session.lessonText().find("\"acceptedValues\": false"), std::string::npos);
  Lesson read;
  EXPECT_EQ(parseLesson(R"({"builtin": "beta-2-3", "plainBeside": "yes"})", read),
            "The field \"plainBeside\" must be true or false.");
  EXPECT_EQ(parseLesson(R"({"builtin": "beta-2-3", "acceptedValue": true})", read),
            "The file has an unknown key \"acceptedValue\" (did you mean \"acceptedValues\"?).");
}

}  // namespace
