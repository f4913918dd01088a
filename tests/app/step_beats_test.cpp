// Two beats per step: the candidate first against the envelope it was drawn
// under, with its decision, then the refined envelope; the sampler's
// numbers are those of one beat per step.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "frontends/qt/main_window.h"
#include "display/plot_colors.h"
#include "model/step_beat.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

using CommandId::nextStep;
using CommandId::startStepping;
using CommandId::stepBack;

struct Rig {
  explicit Rig(bool twoBeats = true) {
    window.setUserData(&app);
    app.attach(window);
    if (twoBeats) app.command(CommandId::twoBeats);
  }
  void run(std::initializer_list<int> ids) {
    for (int id : ids) app.command(id);
  }
  // Where the display stands: the step and whether its candidate is shown.
  std::pair<int, bool> at() const {
    return {app.model().stepping.stepsTaken, candidateBeatShown(app.model())};
  }
  std::size_t shownPoints() const { return shownEnvelope(app.model()).points.size(); }
  bool startsWith(const std::string& prefix) const { return window.statusText.rfind(prefix, 0) == 0; }
  FakeWindow window;
  MainWindow app;
};

std::set<Color> colorsDrawn(Rig& rig) {
  RecordingCanvas canvas;
  rig.app.paint(canvas);
  std::set<Color> colors;
  for (const Primitive& p : canvas.log) {
    colors.insert(p.pen);
    if (p.kind == Primitive::Ellipse) colors.insert(p.brush);
  }
  return colors;
}

// Beta(2,3) from the seed: step 1 is rejected at 0.0507, step 2 accepted
// after evaluating at 0.2714, step 7 accepted by the squeeze.
TEST(TwoBeats, ARejectedStepShowsItsCandidateBeforeTheRefinedEnvelope) {
  Rig rig;
  rig.run({startStepping, nextStep});
  const WindowModel& m = rig.app.model();
  EXPECT_EQ(rig.at(), std::make_pair(1, true));
  EXPECT_EQ(m.stepping.lastResult, StepResult::Rejection);
  EXPECT_DOUBLE_EQ(m.sampler.lastX, 0.050670237499265282);
  // Drawn against the three starting points; the sampler already holds the fourth.
  EXPECT_EQ(rig.shownPoints(), 3u);
  EXPECT_EQ(m.sampler.points.size(), 4u);
  EXPECT_TRUE(rig.startsWith("Step 1: x = 0.051 above the curve: rejected, becomes a point. Candidates 1: 0 squeezed"))
      << rig.window.statusText;

  rig.run({nextStep});
  EXPECT_EQ(rig.at(), std::make_pair(1, false));
  EXPECT_EQ(rig.shownPoints(), 4u);
  EXPECT_TRUE(rig.startsWith("Step 1: refined through x = 0.051: 4 points, squeeze ")) << rig.window.statusText;
  // A share of area, worded as for typed densities.
  EXPECT_NE(rig.window.statusText.find("% of hull area."), std::string::npos) << rig.window.statusText;

  // An accepted step changes no envelope: its one beat shows the candidate.
  rig.run({nextStep});
  EXPECT_EQ(rig.at(), std::make_pair(2, true));
  EXPECT_EQ(m.stepping.lastResult, StepResult::DensityAccept);
  EXPECT_TRUE(rig.startsWith("Step 2: x = 0.271 under the curve: accepted after evaluating."));
  rig.run({nextStep});
  EXPECT_EQ(rig.at(), std::make_pair(3, true));

  // The same numbers as three steps of one beat each.
  Rig one(false);
  one.run({startStepping, nextStep, nextStep, nextStep});
  EXPECT_EQ(one.app.model().rnd.state, m.rnd.state);
  ASSERT_EQ(one.app.model().sampler.points.size(), m.sampler.points.size());
  EXPECT_EQ(std::memcmp(one.app.model().sampler.points.data(), m.sampler.points.data(),
                        m.sampler.points.size() * sizeof(HullPoint)),
            0);
}

TEST(TwoBeats, EachFateHasItsOwnMarkerAndLegendEntry) {
  const std::vector<Color> fates = {PlotColor::squeezed, PlotColor::evaluated, PlotColor::rejectedCandidate};
  // Steps 7, 2 and 1 of Beta(2,3), each at its first beat.
  const std::vector<std::pair<int, Color>> shown = {{7, PlotColor::squeezed}, {2, PlotColor::evaluated},
                                                    {1, PlotColor::rejectedCandidate}};
  for (const auto& [step, color] : shown) {
    Rig rig;
    rig.run({startStepping});
    while (rig.at() != std::make_pair(step, true)) rig.run({nextStep});
    const std::set<Color> colors = colorsDrawn(rig);
    for (Color fate : fates) EXPECT_EQ(colors.count(fate), fate == color ? 1u : 0u) << step;
    // No classic red candidate dot with two beats.
    RecordingCanvas canvas;
    rig.app.paint(canvas);
    for (const Primitive& p : canvas.of(Primitive::Ellipse)) EXPECT_NE(p.brush, PlotColor::candidate) << step;
  }
  // Shapes differ as well as colours, and the legend names each.
  Rig rig;
  rig.run({startStepping});
  std::set<LegendSwatch> swatches;
  for (const LegendEntry& e : rig.window.legend) {
    for (Color fate : fates) {
      if (e.color == fate) swatches.insert(e.swatch);
    }
  }
  EXPECT_EQ(swatches.size(), 3u);
}

TEST(TwoBeats, TheRunningCountAddsUp) {
  {
    Rig rig;
    rig.run({CommandId::firstDensity + 3, startStepping});
    for (int beat = 0; beat < 60; ++beat) {
      rig.run({nextStep});
      const std::string& text = rig.window.statusText;
      const std::size_t at = text.find(" Candidates ");
      ASSERT_NE(at, std::string::npos) << text;
      unsigned long long all = 0, squeezed = 0, evaluated = 0, rejected = 0;
      ASSERT_EQ(std::sscanf(text.c_str() + at, " Candidates %llu: %llu squeezed, %llu evaluated, %llu rejected",
                            &all, &squeezed, &evaluated, &rejected),
                4)
          << text;
      EXPECT_EQ(all, static_cast<unsigned long long>(rig.app.model().stepping.stepsTaken));
      EXPECT_EQ(squeezed + evaluated + rejected, all);
      const ars::SamplerCounts& counts = rig.app.model().sampler.counts;
      EXPECT_EQ(rejected, counts.rejections);
      EXPECT_NE(text.find("; " + std::to_string(counts.evaluations) + " evaluations."), std::string::npos) << text;
    }
  }
}

TEST(TwoBeats, StepBackAndTheAnimationFollowTheBeats) {
  Rig rig;
  rig.run({startStepping});
  // Forward beat by beat, then back through the same beats.
  std::vector<std::pair<std::pair<int, bool>, std::size_t>> forward;
  for (int beat = 0; beat < 12; ++beat) {
    forward.push_back({rig.at(), rig.shownPoints()});
    rig.run({nextStep});
  }
  for (auto it = forward.rbegin(); it != forward.rend(); ++it) {
    rig.run({stepBack});
    EXPECT_EQ(rig.at(), it->first);
    EXPECT_EQ(rig.shownPoints(), it->second);
  }
  EXPECT_EQ(rig.at(), std::make_pair(0, false));

  // Each tick of the animation is one beat.
  rig.run({nextStep, CommandId::animateSteps});
  mainWindowProc(rig.window, WindowMessage::Timer, MessageParams());
  EXPECT_EQ(rig.at(), std::make_pair(1, false));
  mainWindowProc(rig.window, WindowMessage::Timer, MessageParams());
  EXPECT_EQ(rig.at(), std::make_pair(2, true));
}

TEST(TwoBeats, OffByDefaultAndTurningThemOnKeepsTheStep) {
  Rig rig(false);
  rig.run({startStepping, nextStep, nextStep});
  EXPECT_FALSE(rig.app.model().view.twoBeats);
  EXPECT_EQ(rig.at(), std::make_pair(2, false));
  // Step 2 was accepted: its candidate comes into view with its decision.
  rig.run({CommandId::twoBeats});
  EXPECT_EQ(rig.at(), std::make_pair(2, true));
  rig.run({CommandId::twoBeats});
  EXPECT_EQ(rig.at(), std::make_pair(2, false));
}

}  // namespace
