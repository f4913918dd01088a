// What the picture shows agrees with what the legend and the labels say: no
// "darts" without darts, the newest point visible when it lands on an old
// one, the proof's panel named a zoom, and the envelope a throw ended with.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "display/plot_colors.h"
#include "display/plot_mapping.h"
#include "model/curve_state.h"
#include "model/sampler_in_use.h"
#include "model/step_beat.h"
#include "platform/picture_scale.h"
#include "resources/command_ids.h"
#include "studio/session.h"
#include "support/session_after.h"
#include "support/recording_canvas.h"

namespace {

using test_support::After;
const Rect& client = test_support::sessionClient;

RecordingCanvas painted(const Session& session) {
  RecordingCanvas canvas;
  paint(canvas, session.client(), session);
  return canvas;
}

const LegendEntry* entryNamed(const Session& session, const std::string& name) {
  static std::vector<LegendEntry> legend;
  legend = session.legend();
  for (const LegendEntry& e : legend)
    if (name == e.name) return &e;
  return nullptr;
}

int linesOf(const RecordingCanvas& canvas, Color pen) {
  int count = 0;
  for (const Primitive& p : canvas.of(Primitive::Line)) count += p.pen == pen;
  return count;
}

bool textShown(const RecordingCanvas& canvas, const std::string& text) {
  for (const Primitive& p : canvas.of(Primitive::Text))
    if (p.text == text) return true;
  return false;
}

TEST(Legend, NamesDartsOnlyWhileDartsAreDrawn) {
  using namespace CommandId;
  EXPECT_EQ(entryNamed(After({}).session, "darts"), nullptr) << "at the opening";
  EXPECT_NE(entryNamed(After({throwDarts}).session, "darts"), nullptr);
  // After Ctrl+G the red disc is the accepted candidate, named as such and
  // drawn as the picture draws it: red, outlined in the points' colour.
  for (const std::vector<int>& ids : {std::vector<int>{throwDarts, stepUntilAccepted},
                                      std::vector<int>{startStepping, nextStep},
                                      std::vector<int>{logScale, lastDensity, startStepping, nextStep, nextStep,
                                                       nextStep, nextStep, nextStep}}) {
    const After after(ids);
    const Session& session = after.session;
    SCOPED_TRACE(session.statusLine());
    EXPECT_EQ(entryNamed(session, "darts"), nullptr);
    const LegendEntry* candidate = entryNamed(session, "candidate");
    ASSERT_NE(candidate, nullptr);
    EXPECT_EQ(candidate->color, PlotColor::candidate);
    EXPECT_EQ(candidate->outline, PlotColor::points);
  }
  // Two beats per step name the fates, and no darts either.
  EXPECT_EQ(entryNamed(After({twoBeats, startStepping, nextStep}).session, "darts"), nullptr);
}

// Black strokes whose ends all lie at the ring's radius around the pixel.
int ringStrokes(const RecordingCanvas& canvas, int cx, int cy, int radius) {
  int strokes = 0;
  for (const Primitive& p : canvas.of(Primitive::Line)) {
    if (p.pen != PlotColor::points) continue;
    strokes += std::fabs(std::hypot(p.a - cx, p.b - cy) - radius) <= 1.0;
  }
  return strokes;
}

// The most ring strokes around any of the points drawn, and around which.
std::pair<int, double> bestRing(const Session& session) {
  const RecordingCanvas canvas = painted(session);
  const int radius = scaledPixels(6, pictureScale(client));
  std::pair<int, double> best{0, 0.0};
  for (const Primitive& p : canvas.of(Primitive::Ellipse)) {
    if (p.brush != PlotColor::points) continue;
    const int strokes = ringStrokes(canvas, (p.a + p.c) / 2, (p.b + p.d) / 2, radius);
    if (strokes > best.first) best = {strokes, static_cast<double>(p.a + p.c) / 2};
  }
  return best;
}

TEST(NewPoint, TheSecondBeatOfARejectionRingsThePointItAdded) {
  After after({CommandId::twoBeats, CommandId::startStepping});
  Session& session = after.session;
  // Beta(2,3)'s first step adds x = 0.051 beside the start point 0.05: the two dots are one.
  session.apply(CommandId::nextStep);
  session.apply(CommandId::nextStep);
  ASSERT_TRUE(pointJustAdded(session.model()));
  const double added = pointJustAdded(session.model())->x;
  EXPECT_NEAR(added, 0.051, 5e-4);
  const std::pair<int, double> ring = bestRing(session);
  EXPECT_GE(ring.first, 16);
  EXPECT_NEAR(ring.second, wholePixelX(session.layout().mapping, added), 1.0);
  // The first beat shows the candidate's fate instead; one beat per step keeps its classic disc.
  session.apply(CommandId::stepBack);
  EXPECT_LT(bestRing(session).first, 4);
  session.apply(CommandId::twoBeats);
  session.apply(CommandId::nextStep);
  EXPECT_FALSE(pointJustAdded(session.model()));
}

TEST(ProofInset, IsNamedAZoomOnlyWhereTheClassicPictureIsNotPinned) {
  using namespace CommandId;
  const std::vector<int> proof = {lastDensity, startStepping, nextStep, nextStep, nextStep, nextStep, nextStep};
  const After afterProof(proof);
  const Session& classic = afterProof.session;
  ASSERT_TRUE(classic.model().stepping.proof.has_value());
  EXPECT_FALSE(textShown(painted(classic), "zoomed in"));
  for (int option : {projectorTheme, whyPanel}) {
    std::vector<int> ids = proof;
    ids.push_back(option);
    const After after(ids);
    const Session& session = after.session;
    ASSERT_TRUE(session.model().stepping.proof.has_value()) << option;
    EXPECT_TRUE(textShown(painted(session), "zoomed in")) << option;
  }
}

TEST(EnvelopeAfterDarts, DrawsTheEnvelopeTheThrowEndedWithOverTheDarts) {
  using namespace CommandId;
  After after({throwDarts});
  Session& session = after.session;
  const RecordingCanvas darts = painted(session);
  EXPECT_EQ(linesOf(darts, PlotColor::upperHull), 0);
  const auto random = session.model().rnd.state;
  session.apply(envelopeAfterDarts);
  const RecordingCanvas shown = painted(session);
  EXPECT_GT(linesOf(shown, PlotColor::upperHull), 0);
  EXPECT_GT(linesOf(shown, PlotColor::squeeze), 0);
  std::size_t points = 0;
  for (const Primitive& p : shown.of(Primitive::Ellipse)) points += p.brush == PlotColor::points;
  EXPECT_EQ(points, session.model().sampler.points.size());
  // Only a view: the random state stays; off again, the classic picture.
  EXPECT_EQ(session.model().rnd.state, random);
  session.apply(envelopeAfterDarts);
  EXPECT_EQ(painted(session).log.size(), darts.log.size());

  // A typed density's pieces, in its own sampler's envelope.
  Session typed;
  typed.resize(client);
  ASSERT_FALSE(typed.openLessonText(R"j({"density":"exp(-x^2/2)","lower":"-inf","upper":"inf"})j").question);
  typed.apply(throwDarts);
  typed.apply(envelopeAfterDarts);
  ASSERT_TRUE(typed.model().typed.has_value());
  EXPECT_GT(linesOf(painted(typed), PlotColor::upperHull), 0);
}

}  // namespace
