// The program explaining itself: Help > How it works, the why of each step
// and the envelope's progress.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "model/step_decision.h"
#include "resources/command_ids.h"
#include "studio/command_table.h"
#include "studio/envelope_progress.h"
#include "studio/how_it_works.h"
#include "studio/lesson_json.h"
#include "studio/session.h"
#include "studio/side_panels.h"
#include "studio/status_line.h"
#include "studio/why_panel.h"
#include "support/recording_canvas.h"

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();

// Text that grows with the text scale, as a real font does.
struct ScaledTextCanvas : RecordingCanvas {
  Size textExtent(const std::string& text) override {
    return {static_cast<int>(std::ceil(static_cast<double>(text.size()) * 7 * textScale)),
            static_cast<int>(std::ceil(13 * textScale))};
  }
};

bool inside(const Primitive& p, const Rect& r) {
  return p.a >= r.left && p.b >= r.top && p.c <= r.right && p.d <= r.bottom;
}

std::string joined(const std::vector<WhyLine>& lines) {
  std::string text;
  for (const WhyLine& line : lines) text += line.text + "\n";
  return text;
}

// The decision shown agrees with the sampler's, inequality by inequality.
void expectDecisionHolds(const WindowModel& model, const std::string& where) {
  const std::optional<StepDecision> found = lastDecision(model);
  ASSERT_TRUE(found) << where;
  const StepDecision& d = *found;
  SCOPED_TRACE(where + " step " + std::to_string(model.stepping.stepsTaken));
  if (!std::isnan(d.hull)) {
    EXPECT_LE(d.dart, d.hull + 1e-9);
  }
  switch (d.result) {
    case StepResult::SqueezeAccept:
      ASSERT_FALSE(std::isnan(d.squeeze));
      EXPECT_LE(d.dart, d.squeeze + 1e-9);
      EXPECT_TRUE(std::isnan(d.logDensity));
      break;
    case StepResult::DensityAccept:
      if (!std::isnan(d.squeeze)) {
    EXPECT_GT(d.dart, d.squeeze - 1e-9);
  }
      ASSERT_FALSE(std::isnan(d.logDensity));
      EXPECT_LE(d.dart, d.logDensity + 1e-9);
      break;
    case StepResult::Rejection:
      if (d.outsideLimits) break;
      if (!std::isnan(d.squeeze)) {
    EXPECT_GT(d.dart, d.squeeze - 1e-9);
  }
      ASSERT_FALSE(std::isnan(d.logDensity));
      EXPECT_GT(d.dart, std::min(d.logDensity, d.hull) - 1e-9);
      break;
    case StepResult::None:
      ADD_FAILURE() << "no decision";
  }
}

TEST(HowItWorks, ThePageCoversTheMethodAndEveryDiagramDrawsInsideItsArea) {
  std::string headings;
  int diagrams = 0;
  for (const HowSection& section : howItWorks()) {
    EXPECT_FALSE(section.paragraphs.empty()) << section.heading;
    headings += section.heading + "\n";
    if (section.diagram == HowDiagram::None) continue;
    ++diagrams;
    ScaledTextCanvas canvas;
    const Rect area{10, 20, 410, 240};
    paintHowDiagram(canvas, area, section.diagram, 1.0);
    EXPECT_GT(canvas.of(Primitive::Line).size(), 50u) << section.heading;
    for (const Primitive& p : canvas.of(Primitive::Text)) EXPECT_TRUE(inside(p, area)) << p.text;
    EXPECT_FALSE(canvas.clipped) << "the clip is lifted after the diagram";
  }
  EXPECT_GE(diagrams, 3);
  for (const char* topic : {"hull", "squeeze", "rejected candidate becomes a point", "log-concavity matters",
                            "split points", "evaluation"}) {
    EXPECT_NE(headings.find(topic), std::string::npos) << topic;
  }
}

TEST(HowItWorks, HelpOpensItAsAQuestionThatKeepsThePicture) {
  const CommandRow* row = findCommand(CommandId::howItWorks);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->popup, 5);
  Session session;
  session.apply(CommandId::startStepping);
  session.apply(CommandId::nextStep);
  const int steps = session.model().stepping.stepsTaken;
  const Effects shown = session.apply(CommandId::howItWorks);
  ASSERT_TRUE(shown.question);
  EXPECT_EQ(shown.question->kind, QuestionKind::HowItWorks);
  session.answer(*shown.question, Choice::Ok);
  EXPECT_FALSE(session.pending());
  EXPECT_TRUE(session.model().stepping.active);
  EXPECT_EQ(session.model().stepping.stepsTaken, steps);
}

TEST(WhyPanel, EveryStepsNumbersAgreeWithTheSamplersDecisionForEveryKind) {
  for (int kind = CommandId::firstDensity; kind <= CommandId::lastDensity; ++kind) {
    for (const int scale : {CommandId::normalScale, CommandId::logScale}) {
      Session session;
      session.apply(kind);
      session.apply(scale);
      session.apply(CommandId::startStepping);
      for (int i = 0; i < 40 && session.model().stepping.active; ++i) {
        session.apply(CommandId::nextStep);
        // The test density is refused on the way: stepping ends with its proof.
        if (!session.model().stepping.active) break;
        expectDecisionHolds(session.model(), "kind " + std::to_string(kind));
      }
    }
  }
}

TEST(WhyPanel, TypedDensitiesAndTheirDecisionsToo) {
  Session session;
  session.chooseDensity({"Normal", "exp(-x^2/2)", false, -inf, inf});
  session.apply(CommandId::startStepping);
  bool rejected = false;
  bool squeezed = false;
  for (int i = 0; i < 60; ++i) {
    session.apply(CommandId::nextStep);
    expectDecisionHolds(session.model(), "typed");
    rejected |= session.model().stepping.lastResult == StepResult::Rejection;
    squeezed |= session.model().stepping.lastResult == StepResult::SqueezeAccept;
  }
  EXPECT_TRUE(rejected && squeezed);
}

// Under -1/sqrt(f) and with split points the panel gives hull and squeeze
// at x as well, and the inequality between them and the dart.
TEST(WhyPanel, TransformedAndSplitDensitiesShowHullAndSqueeze) {
  const double turn = 0.6584789484624084;
  for (const DensityChoice& choice :
       {DensityChoice{"Cauchy", "1/(1+x^2)", false, -inf, inf, ars::Transform::InverseSqrt},
        DensityChoice{"Two normals", "exp(-(x+2)^2/2) + exp(-(x-2)^2/2)", false, -inf, inf, ars::Transform::Log,
                      {-turn, turn}}}) {
    Session session;
    session.chooseDensity(choice);
    session.apply(CommandId::startStepping);
    bool squeezed = false;
    for (int i = 0; i < 40; ++i) {
      session.apply(CommandId::nextStep);
      expectDecisionHolds(session.model(), choice.caption);
      const std::optional<StepDecision> d = lastDecision(session.model());
      ASSERT_TRUE(d);
      if (d->outsideLimits) continue;
      EXPECT_FALSE(std::isnan(d->hull)) << choice.caption << " step " << i;
      const std::string text = joined(whyLines(session.model()));
      EXPECT_NE(text.find("hull at x = "), std::string::npos) << text;
      if (d->result == StepResult::SqueezeAccept) {
        squeezed = true;
        EXPECT_NE(text.find("\xe2\x89\xa4 squeeze = "), std::string::npos) << text;
      }
    }
    EXPECT_TRUE(squeezed) << choice.caption;
  }
}

TEST(WhyPanel, SaysWhatDecidedInWordsAndExplainsTheStartsEvaluations) {
  Session session;
  session.apply(CommandId::whyPanel);
  session.apply(CommandId::startStepping);
  const std::string start = joined(whyLines(session.model()));
  EXPECT_NE(start.find("Start: 3 points"), std::string::npos) << start;
  bool rejectionSeen = false;
  bool squeezeSeen = false;
  for (int i = 0; i < 30; ++i) {
    session.apply(CommandId::nextStep);
    const std::vector<WhyLine> lines = whyLines(session.model());
    const std::string text = joined(lines);
    EXPECT_NE(text.find("Evaluations:"), std::string::npos);
    switch (session.model().stepping.lastResult) {
      case StepResult::Rejection:
        rejectionSeen = true;
        EXPECT_NE(text.find("> f(x) = "), std::string::npos) << text;
        EXPECT_NE(text.find("x becomes a point"), std::string::npos) << text;
        break;
      case StepResult::SqueezeAccept:
        squeezeSeen = true;
        EXPECT_NE(text.find("\xe2\x89\xa4 squeeze = "), std::string::npos) << text;
        EXPECT_NE(text.find("without evaluating"), std::string::npos) << text;
        break;
      case StepResult::DensityAccept:
        EXPECT_NE(text.find("\xe2\x89\xa4 f(x) = "), std::string::npos) << text;
        break;
      case StepResult::None:
        break;
    }
  }
  EXPECT_TRUE(rejectionSeen && squeezeSeen);
}

TEST(SidePanels, OffTheyChangeNothingOnTheyKeepTheStatusLineAndFitTheirText) {
  Session plain;
  Session toggled;
  for (Session* s : {&plain, &toggled}) {
    s->resize(Rect{0, 0, 400, 300});
    s->apply(CommandId::startStepping);
    s->apply(CommandId::nextStep);
  }
  toggled.apply(CommandId::whyPanel);
  toggled.apply(CommandId::progressChart);
  EXPECT_EQ(toggled.statusLine(), plain.statusLine());
  toggled.apply(CommandId::whyPanel);
  toggled.apply(CommandId::progressChart);
  RecordingCanvas a;
  RecordingCanvas b;
  paint(a, Rect{0, 0, 400, 300}, plain);
  paint(b, Rect{0, 0, 400, 300}, toggled);
  ASSERT_EQ(a.log.size(), b.log.size());
  for (std::size_t i = 0; i < a.log.size(); ++i) {
    EXPECT_EQ(a.log[i].kind, b.log[i].kind);
    EXPECT_EQ(a.log[i].a, b.log[i].a);
    EXPECT_EQ(a.log[i].b, b.log[i].b);
  }

  toggled.apply(CommandId::whyPanel);
  toggled.apply(CommandId::progressChart);
  for (const Rect client : {Rect{0, 0, 320, 240}, Rect{0, 0, 400, 300}, Rect{0, 0, 1920, 1000}, Rect{0, 0, 420, 900}}) {
    const Rect plot = plotArea(toggled.model(), client);
    EXPECT_LT((plot.right - plot.left) * (plot.bottom - plot.top), (client.right - client.left) * (client.bottom - client.top));
    ScaledTextCanvas canvas;
    paintSidePanels(canvas, client, toggled.model());
    ASSERT_FALSE(canvas.of(Primitive::Text).empty());
    for (const Primitive& p : canvas.of(Primitive::Text)) {
      // Every line inside the client and wide enough for its text at the scale it was drawn with.
      EXPECT_TRUE(inside(p, client)) << p.text;
      EXPECT_LE(static_cast<double>(p.text.size()) * 7 * p.textScale, p.c - p.a + 1e-9) << p.text;
      EXPECT_FALSE(p.b < plot.bottom && p.a < plot.right) << "over the plot: " << p.text;
    }
  }
}

TEST(EnvelopeProgress, KeepsOnePointPerStepThroughStepBackAndReplays) {
  Session session;
  session.apply(CommandId::startStepping);
  for (int i = 0; i < 8; ++i) session.apply(CommandId::nextStep);
  const std::vector<ProgressPoint> eight = progressPoints(session.model());
  ASSERT_EQ(eight.size(), 9u);
  EXPECT_TRUE(std::isnan(eight[0].acceptance));
  EXPECT_GE(eight.back().squeezeShare, eight[0].squeezeShare);
  session.apply(CommandId::stepBack);
  EXPECT_EQ(progressPoints(session.model()).size(), 8u);
  session.apply(CommandId::nextStep);
  const std::vector<ProgressPoint> again = progressPoints(session.model());
  ASSERT_EQ(again.size(), eight.size());
  for (std::size_t k = 0; k < again.size(); ++k) {
    EXPECT_EQ(again[k].squeezeShare, eight[k].squeezeShare);
  }
  // Steps taken in one command are each recorded.
  Session until;
  until.apply(CommandId::stepUntilAccepted);
  EXPECT_EQ(progressPoints(until.model()).size(), static_cast<std::size_t>(until.model().stepping.stepsTaken) + 1);
}

TEST(EnvelopeProgress, PlainRejectionsCostPerValueIsTheBoxOverTheArea) {
  Session session;  // Beta(2,3): peak 16/9 on [0, 1], area 1, and the box 1% above the peak
  session.apply(CommandId::startStepping);
  const std::optional<double> perValue = plainEvaluationsPerValue(session.model());
  ASSERT_TRUE(perValue);
  EXPECT_NEAR(*perValue, 1.01 * 16.0 / 9.0, 0.01);
  for (int i = 0; i < 20; ++i) session.apply(CommandId::nextStep);
  std::string text;
  for (const std::string& line : progressLines(session.model())) text += line + "\n";
  EXPECT_NE(text.find("of hull area"), std::string::npos) << text;
  EXPECT_NE(text.find("plain rejection: about"), std::string::npos) << text;
}

TEST(EnvelopeProgress, LessonsKeepBothPanels) {
  Lesson lesson;
  ASSERT_EQ(parseLesson(R"({"builtin": "beta-2-3", "why": true, "progress": true})", lesson), "");
  EXPECT_EQ(lesson.why, std::optional<bool>(true));
  EXPECT_EQ(lesson.progress, std::optional<bool>(true));
  Session session;
  session.openLesson(lesson);
  EXPECT_TRUE(session.model().view.whyPanel);
  EXPECT_TRUE(session.model().view.progressChart);
  const std::string saved = session.lessonText();
  EXPECT_NE(saved.find("\"why\": true"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\"progress\": true"), std::string::npos) << saved;
  Session without;
  EXPECT_EQ(without.lessonText().find("\"why\""), std::string::npos);
}

}  // namespace

namespace {

TEST(Consistency, TypedDensitiesSayTheSqueezeIsAShareOfAreaAndTheTestDensityTellsItsFormula) {
  Session builtin;
  builtin.apply(CommandId::startStepping);
  // The built-in kinds' classic words stay.
  EXPECT_NE(builtin.statusLine().find("% of the envelope."), std::string::npos) << builtin.statusLine();
  Session typed;
  typed.chooseDensity({"Normal", "exp(-x^2/2)", false, -inf, inf});
  typed.apply(CommandId::startStepping);
  EXPECT_NE(typed.statusLine().find("% of hull area."), std::string::npos) << typed.statusLine();

  Session test;
  EXPECT_EQ(test.toolTip().find("log f(x) ="), std::string::npos);
  test.apply(CommandId::lastDensity);
  EXPECT_NE(test.toolTip().find("log f(x) = 10 [ln"), std::string::npos) << test.toolTip();
}

}  // namespace
