// Typed densities in two beats, as the built-in kinds: the candidate against
// the envelope it was drawn under with its fate, then the refined envelope,
// and Step back beat by beat; the sampler's numbers are those of one beat.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "display/plot_colors.h"
#include "model/step_beat.h"
#include "resources/command_ids.h"
#include "studio/session.h"
#include "support/recording_canvas.h"

namespace {

const std::string normal =
    R"j({"density":"exp(-x^2/2)","lower":"-inf","upper":"inf","seed":7,"steps":2,"twoBeats":true,)j"
    R"j("wholeEnvelope":true,"largerPoints":true})j";
const std::string studentT =
    R"j({"density":"(1+x^2/3)^(-2)","transform":"inverse-sqrt","lower":"-inf","upper":"inf","seed":7,)j"
    R"j("steps":2,"twoBeats":true})j";

struct Beats {
  explicit Beats(const std::string& lesson) {
    session.resize(Rect{0, 0, 800, 600});
    const Effects opened = session.openLessonText(lesson);
    EXPECT_FALSE(opened.question) << lesson;
  }
  const WindowModel& model() const { return session.model(); }
  std::pair<int, bool> at() const { return {model().stepping.stepsTaken, candidateBeatShown(model())}; }
  std::size_t shownPoints() const { return shownTypedPoints(model()).size(); }
  // Pens, and the fills of dots.
  std::set<Color> colorsDrawn(bool dotsOnly = false) const {
    RecordingCanvas canvas;
    paint(canvas, session.client(), session);
    std::set<Color> colors;
    for (const Primitive& p : canvas.log) {
      if (p.kind == Primitive::Ellipse) colors.insert(p.brush);
      if (!dotsOnly) colors.insert(p.pen);
    }
    return colors;
  }
  // Forward to the first beat of the next rejected step.
  void toRejection() {
    do {
      session.apply(CommandId::nextStep);
    } while (!(candidateBeatShown(model()) && model().stepping.lastResult == StepResult::Rejection) &&
             model().stepping.stepsTaken < 200);
  }
  Session session;
};

TEST(TypedBeats, ARejectionShowsItsCandidateAgainstTheOldEnvelopeThenTheRefinedOne) {
  for (const std::string& lesson : {normal, studentT}) {
    Beats beats(lesson);
    beats.toRejection();
    ASSERT_EQ(beats.model().stepping.lastResult, StepResult::Rejection) << lesson;
    const int step = beats.model().stepping.stepsTaken;
    const std::size_t refined = beats.model().typed->points().size();
    // Drawn against the envelope before the candidate became a point.
    EXPECT_EQ(beats.shownPoints() + 1, refined) << lesson;
    EXPECT_NE(shownTypedPieces(beats.model()).size(), beats.model().typed->pieces().size()) << lesson;
    const std::string first = beats.session.statusLine();
    EXPECT_NE(first.find("above the curve: rejected, becomes a point."), std::string::npos) << first;
    const std::set<Color> colors = beats.colorsDrawn();
    EXPECT_EQ(colors.count(PlotColor::rejectedCandidate), 1u) << lesson;
    // No classic candidate dot beside the fate marker.
    EXPECT_EQ(beats.colorsDrawn(true).count(PlotColor::candidate), 0u) << lesson;

    beats.session.apply(CommandId::nextStep);
    EXPECT_EQ(beats.at(), std::make_pair(step, false)) << lesson;
    EXPECT_EQ(beats.shownPoints(), refined);
    EXPECT_EQ(beats.session.statusLine().rfind("Step " + std::to_string(step) + ": refined through x = ", 0), 0u)
        << beats.session.statusLine();
    EXPECT_EQ(beats.colorsDrawn().count(PlotColor::rejectedCandidate), 0u) << lesson;

    // Back beat by beat: the candidate again, then the step before it.
    beats.session.apply(CommandId::stepBack);
    EXPECT_EQ(beats.at(), std::make_pair(step, true)) << lesson;
    EXPECT_EQ(beats.session.statusLine(), first);
    beats.session.apply(CommandId::stepBack);
    EXPECT_EQ(beats.model().stepping.stepsTaken, step - 1) << lesson;
    EXPECT_EQ(beats.shownPoints(), refined - 1) << lesson;
  }
}

TEST(TypedBeats, EveryFateIsMarkedAndTheNumbersAreThoseOfOneBeat) {
  Beats beats(normal);
  std::set<StepResult> fates;
  for (int beat = 0; beat < 60; ++beat) {
    beats.session.apply(CommandId::nextStep);
    if (!candidateBeatShown(beats.model())) continue;
    const StepResult fate = beats.model().stepping.lastResult;
    fates.insert(fate);
    const Color marker = fate == StepResult::SqueezeAccept   ? PlotColor::squeezed
                         : fate == StepResult::DensityAccept ? PlotColor::evaluated
                                                             : PlotColor::rejectedCandidate;
    EXPECT_EQ(beats.colorsDrawn().count(marker), 1u) << beat;
  }
  EXPECT_EQ(fates.size(), 3u);
  std::set<std::string> names;
  for (const LegendEntry& e : beats.session.legend()) names.insert(e.name);
  for (const char* name : {"squeezed", "evaluated", "rejected"}) EXPECT_EQ(names.count(name), 1u) << name;

  // The same steps with one beat each leave the same random state and points.
  std::string oneBeat = normal;
  oneBeat.replace(oneBeat.find("\"twoBeats\":true"), 15, "\"twoBeats\":false");
  Beats one(oneBeat);
  while (one.model().stepping.stepsTaken < beats.model().stepping.stepsTaken) one.session.apply(CommandId::nextStep);
  EXPECT_EQ(one.model().rnd.state, beats.model().rnd.state);
  EXPECT_EQ(one.model().typed->points().size(), beats.model().typed->points().size());
}

}  // namespace
