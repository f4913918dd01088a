// An envelope that is not one: where a typed density's shown hull lies below
// the density, the picture marks it and the status line says so at once.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/hull_gaps.h"
#include "display/plot_colors.h"
#include "resources/command_ids.h"
#include "studio/session.h"
#include "support/recording_canvas.h"

namespace {

using ars::detail::EnvelopePiece;
using ars::detail::Line;

TEST(HullGaps, TheStretchWhereTheDensityRisesAboveTheHullIsFoundBetweenGridPoints) {
  // A flat hull at 0 over [-2, 2] (none beyond): h = 1 - x^2 exceeds it on (-1, 1).
  const std::vector<EnvelopePiece> pieces = {{-2, 2, Line{0, 0, 0}, false, {}}};
  std::vector<double> grid;
  for (int i = 0; i <= 30; ++i) grid.push_back(-3 + 0.2 * i);
  const auto bump = [](double x) { return 1 - x * x; };
  const std::vector<HullCut> gaps = hullBelowDensity(pieces, ars::Transform::Log, bump, grid);
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_NEAR(gaps[0].left, -1, 1e-5);
  EXPECT_NEAR(gaps[0].right, 1, 1e-5);
  // A hull touching the density, as at its own points, is no gap; nor is
  // an abscissa no piece covers.
  const auto touching = [](double x) { return -x * x; };
  EXPECT_TRUE(hullBelowDensity(pieces, ars::Transform::Log, touching, grid).empty());
  const std::vector<EnvelopePiece> left = {{-3, -1.5, Line{0, -10, 0}, false, {}}};
  EXPECT_TRUE(hullBelowDensity(left, ars::Transform::Log, touching, {0.0, 0.5}).empty());
  // Under -1/sqrt(f) the hull's T = -1 is the log value 0.
  const std::vector<EnvelopePiece> inverse = {{-2, 2, Line{0, -1, 0}, false, {}}};
  EXPECT_EQ(hullBelowDensity(inverse, ars::Transform::InverseSqrt, bump, grid).size(), 1u);
}

std::size_t strokesOf(const Session& session, Color color) {
  RecordingCanvas canvas;
  paint(canvas, session.client(), session);
  std::size_t lines = 0;
  for (const Primitive& p : canvas.log) lines += p.kind == Primitive::Line && p.pen == color;
  return lines;
}

TEST(HullGaps, AMixtureWhoseHullMissesAModeIsMarkedAndNamed) {
  Session session;
  session.resize(Rect{0, 0, 800, 600});
  ASSERT_FALSE(session.openLessonText(R"j({"density":"0.3*exp(-(x+3)^2/2) + 0.7*2*exp(-(x-2)^2*2)",)j"
                                      R"j("lower":"-inf","upper":"inf","steps":6})j")
                   .question);
  const std::vector<HullCut>& gaps = session.layout().hullGaps;
  ASSERT_FALSE(gaps.empty());
  // Under the left mode, at -3.
  EXPECT_LT(gaps.front().left, -3);
  EXPECT_GT(gaps.front().right, -3);
  const std::string status = session.statusLine();
  EXPECT_EQ(status.rfind("Step 6: rejected: new point at x = 2.59. Not an envelope between ", 0), 0u) << status;
  EXPECT_NE(status.find(": the density is not log-concave there. 8 points"), std::string::npos) << status;
  EXPECT_GT(strokesOf(session, PlotColor::proof), 10u);
  bool named = false;
  for (const LegendEntry& e : session.legend()) named = named || e.color == PlotColor::proof;
  EXPECT_TRUE(named);

  // A log-concave density's hull never lies below it, whatever the step.
  Session normal;
  normal.resize(Rect{0, 0, 800, 600});
  ASSERT_FALSE(normal.openLessonText(R"j({"density":"exp(-x^2/2)","lower":"-inf","upper":"inf","steps":1})j").question);
  for (int step = 0; step < 40; ++step) {
    ASSERT_TRUE(normal.layout().hullGaps.empty()) << step;
    normal.apply(CommandId::nextStep);
  }
  EXPECT_EQ(strokesOf(normal, PlotColor::proof), 0u);
}

}  // namespace

namespace refusals {

// A lesson is held to the dialog's words, and a refusal without a proof of
// the library's names the points that show it.
TEST(SplitRefusals, TheLessonSaysWhatTheDialogSaysAndARefusalNamesItsPoints) {
  Session session;
  const Effects refused = session.openLessonText(
      R"j({"density":"exp(-(x+2)^2/2) + exp(-(x-2)^2/2)","lower":"-inf","upper":"inf","splits":[0]})j");
  ASSERT_TRUE(refused.question);
  EXPECT_NE(refused.question->text.find("No change of curvature at 0: log f is convex on both sides of it."),
            std::string::npos)
      << refused.question->text;
  // The picture stays as it was, so no split line is called an inflection.
  EXPECT_FALSE(session.model().density.isOther());
  for (const LegendEntry& e : session.legend()) EXPECT_STRNE(e.name, "inflection");

  session.answer(*refused.question, Choice::Ok);
  ASSERT_FALSE(session.openLessonText(R"j({"density":"x^2","lower":-1,"upper":1})j").question);
  session.apply(CommandId::throwDarts);
  EXPECT_NE(session.statusLine().find("the density is zero at x = 0.00 between positive values at -0.50 and 0.50"),
            std::string::npos)
      << session.statusLine();
}

}  // namespace refusals
