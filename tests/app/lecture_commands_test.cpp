// The commands a lecture needs: the animation's stop conditions and speeds,
// Restart from seed, Step back, the proof after a report, and Help.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "frontends/qt/main_window.h"
#include "display/plot_colors.h"
#include "studio/menus.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

struct Rig {
  Rig() {
    window.setUserData(&app);
    app.attach(window);
  }
  void run(std::initializer_list<int> ids) {
    for (int id : ids) app.command(id);
  }
  void tick() { mainWindowProc(window, WindowMessage::Timer, MessageParams()); }
  FakeWindow window;
  MainWindow app;
};

// The sampler's whole visible state and the random state, bit for bit.
void expectSameSamplerState(const MainWindow& a, const MainWindow& b) {
  EXPECT_EQ(a.model().rnd.state, b.model().rnd.state);
  EXPECT_EQ(a.model().stepping.active, b.model().stepping.active);
  EXPECT_EQ(a.model().stepping.stepsTaken, b.model().stepping.stepsTaken);
  EXPECT_EQ(a.model().stepping.lastAccepted, b.model().stepping.lastAccepted);
  EXPECT_EQ(a.model().sampler.hasLastDraw, b.model().sampler.hasLastDraw);
  EXPECT_EQ(std::memcmp(&a.model().sampler.lastX, &b.model().sampler.lastX, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(&a.model().sampler.lastLogY, &b.model().sampler.lastLogY, sizeof(double)), 0);
  ASSERT_EQ(a.model().sampler.points.size(), b.model().sampler.points.size());
  if (!a.model().sampler.points.empty()) {
    EXPECT_EQ(std::memcmp(a.model().sampler.points.data(), b.model().sampler.points.data(),
                          a.model().sampler.points.size() * sizeof(HullPoint)), 0);
  }
  ASSERT_EQ(a.model().sampler.segments.size(), b.model().sampler.segments.size());
  if (!a.model().sampler.segments.empty()) {
    EXPECT_EQ(std::memcmp(a.model().sampler.segments.data(), b.model().sampler.segments.data(),
                          a.model().sampler.segments.size() * sizeof(EnvelopeSegment)), 0);
  }
  // A typed density's sampler, on the library's path.
  ASSERT_EQ(a.model().typed.has_value(), b.model().typed.has_value());
  if (a.model().typed) {
    const EnvelopeStepper& p = *a.model().typed;
    const EnvelopeStepper& q = *b.model().typed;
    EXPECT_EQ(p.hasLastDraw(), q.hasLastDraw());
    const double px = p.lastX(), qx = q.lastX();
    EXPECT_EQ(std::memcmp(&px, &qx, sizeof(double)), 0);
    ASSERT_EQ(p.points().size(), q.points().size());
    EXPECT_EQ(std::memcmp(p.points().data(), q.points().data(), p.points().size() * sizeof(HullPoint)), 0);
    EXPECT_EQ(p.counts().evaluations, q.counts().evaluations);
  }
  EXPECT_EQ(a.model().darts.x, b.model().darts.x);
  EXPECT_EQ(a.model().darts.y, b.model().darts.y);
}

TEST(AnimationStops, AtEveryOtherCommandButNotAtSpeedOrView) {
  using namespace CommandId;
  for (int id : {startStepping, nextStep, stepUntilAccepted, restartFromSeed, CommandId::stepBack, keys, about}) {
    Rig rig;
    rig.run({animateSteps});
    rig.tick();
    rig.app.command(id);
    EXPECT_FALSE(rig.app.model().stepping.animating) << id;
    EXPECT_EQ(rig.window.timerMilliseconds, 0) << id;
  }
  for (int id : {fasterAnimation, slowerAnimation, fullScreen, refresh}) {
    Rig rig;
    rig.run({animateSteps});
    rig.app.command(id);
    EXPECT_TRUE(rig.app.model().stepping.animating) << id;
  }
}

TEST(AnimationSpeed, PlusAndMinusChangeTheTimerAndTheStatusSaysSo) {
  Rig rig;
  rig.run({CommandId::animateSteps});
  EXPECT_NE(rig.window.statusText.find("Animating: 2 steps a second"), std::string::npos) << rig.window.statusText;
  rig.run({CommandId::fasterAnimation});
  EXPECT_EQ(rig.window.timerMilliseconds, 250);
  EXPECT_NE(rig.window.statusText.find("4 steps a second"), std::string::npos) << rig.window.statusText;
  for (int i = 0; i < 10; ++i) rig.run({CommandId::slowerAnimation});
  EXPECT_EQ(rig.window.timerMilliseconds, animationIntervals[0]);
  for (int i = 0; i < 10; ++i) rig.run({CommandId::fasterAnimation});
  EXPECT_EQ(rig.window.timerMilliseconds, 60);
  // The speed holds for the next animation; Space stops and the text goes.
  rig.run({CommandId::animateSteps});
  EXPECT_EQ(rig.window.statusText.find("Animating"), std::string::npos);
  rig.run({CommandId::animateSteps});
  EXPECT_EQ(rig.window.timerMilliseconds, 60);
}

TEST(RestartFromSeed, RepeatsTheSameCommandsExactlyAsAFreshStart) {
  for (int kind : {1, 4, 6}) {
    SCOPED_TRACE(kind);
    Rig fresh;
    Rig rehearsed;
    const std::initializer_list<int> lesson = {120 + kind, 133, 134, 135, 135, 135, 137, 135};
    rehearsed.run(lesson);
    rehearsed.run({CommandId::restartFromSeed});
    EXPECT_FALSE(rehearsed.app.model().stepping.active);
    EXPECT_TRUE(rehearsed.app.model().darts.x.empty());
    EXPECT_EQ(rehearsed.app.model().rnd.state, 1001);
    rehearsed.run(lesson);
    fresh.run(lesson);
    expectSameSamplerState(rehearsed.app, fresh.app);
    EXPECT_EQ(rehearsed.window.boxes.size(), 2 * fresh.window.boxes.size());
  }
}

TEST(StepBack, EqualsAReplayWithOneStepFewer) {
  for (int kind : {1, 4}) {
    SCOPED_TRACE(kind);
    Rig back;
    back.run({120 + kind, 133, 134, 135, 135, 135, 135, 135, 135, CommandId::stepBack});
    Rig replay;
    replay.run({120 + kind, 133, 134, 135, 135, 135, 135, 135});
    expectSameSamplerState(back.app, replay.app);
    EXPECT_EQ(back.window.statusText, replay.window.statusText);
    // Back to the start, and no further.
    for (int i = 0; i < 8; ++i) back.run({CommandId::stepBack});
    Rig start;
    start.run({120 + kind, 133, 134});
    expectSameSamplerState(back.app, start.app);
  }
  // A typed density: its starting points come from the search, not initPoints.
  {
    const DensityChoice typed{"", "-x^4", true, -INFINITY, INFINITY};
    Rig back;
    ASSERT_EQ(back.app.selectOtherDensity(typed), "");
    back.run({134, 135, 135, 135, CommandId::stepBack});
    Rig replay;
    ASSERT_EQ(replay.app.selectOtherDensity(typed), "");
    replay.run({134, 135, 135});
    expectSameSamplerState(back.app, replay.app);
  }
  // After Ctrl+G, too.
  Rig back;
  back.run({CommandId::stepUntilAccepted, 135, 135, CommandId::stepBack});
  Rig replay;
  replay.run({CommandId::stepUntilAccepted, 135});
  expectSameSamplerState(back.app, replay.app);
  // Not stepping: nothing to step back to.
  Rig idle;
  idle.run({CommandId::stepBack});
  EXPECT_FALSE(idle.app.model().stepping.active);
  EXPECT_TRUE(idle.window.boxes.empty());
}

TEST(Proof, StaysOnScreenUntilTheNextCommandThatChangesTheState) {
  Rig rig;
  rig.run({126, 134});
  int steps = 0;
  while (rig.window.boxes.empty() && steps < 100) {
    rig.run({135});
    ++steps;
  }
  ASSERT_EQ(rig.window.boxes.size(), 1u);
  EXPECT_EQ(rig.window.boxes[0].first, "Log-concavity assumption violated");
  EXPECT_EQ(steps, 5);
  ASSERT_TRUE(rig.app.model().stepping.proof.has_value());
  const ProofHighlight p = *rig.app.model().stepping.proof;
  EXPECT_FALSE(rig.app.model().stepping.active);
  EXPECT_TRUE(p.leftX < p.belowX && p.belowX < p.rightX);
  EXPECT_TRUE(ARSSampler::belowChord({p.leftX, p.leftH}, {p.belowX, p.belowH}, {p.rightX, p.rightH}));
  EXPECT_EQ(rig.window.statusText.rfind("Step 5: the density at x = ", 0), 0u) << rig.window.statusText;
  EXPECT_NE(rig.window.statusText.find("lies below the chord from"), std::string::npos);
  EXPECT_NE(rig.window.statusText.find("so it is not log-concave."), std::string::npos);
  // The view and the scale keep it; Step back shows step 4; a new start clears it.
  rig.run({CommandId::logScale, CommandId::largerPoints, CommandId::refresh});
  EXPECT_TRUE(rig.app.model().stepping.proof.has_value());
  Rig four;
  four.run({126, 134, 135, 135, 135, 135, CommandId::logScale, CommandId::largerPoints});
  rig.run({CommandId::stepBack});
  EXPECT_FALSE(rig.app.model().stepping.proof.has_value());
  expectSameSamplerState(rig.app, four.app);
  rig.run({135});
  ASSERT_TRUE(rig.app.model().stepping.proof.has_value());
  rig.run({CommandId::startStepping});
  EXPECT_FALSE(rig.app.model().stepping.proof.has_value());
}

// After a report nothing can step past the failed step: Next step and Space
// leave the proof and the last good step on screen, and Step back still
// lands on step 4.
TEST(Proof, NextStepAndSpaceKeepTheLastGoodStep) {
  Rig rig;
  rig.run({126, 134, 135, 135, 135, 135, 135});
  ASSERT_TRUE(rig.app.model().stepping.proof.has_value());
  ASSERT_EQ(rig.window.boxes.size(), 1u);
  const std::string status = rig.window.statusText;
  rig.run({135, CommandId::animateSteps, 135});
  EXPECT_EQ(rig.window.boxes.size(), 1u);  // no box about starting points
  EXPECT_TRUE(rig.app.model().stepping.proof.has_value());
  EXPECT_FALSE(rig.app.model().stepping.animating);
  EXPECT_EQ(rig.window.statusText, status);
  // The legend names the proof's colour while it is shown.
  const auto namesTheProof = [](const FakeWindow& w) {
    for (const LegendEntry& e : w.legend)
      if (std::strcmp(e.name, "proof") == 0) return e.color == PlotColor::proof;
    return false;
  };
  EXPECT_TRUE(namesTheProof(rig.window));
  Rig four;
  four.run({126, 134, 135, 135, 135, 135});
  rig.run({CommandId::stepBack});
  expectSameSamplerState(rig.app, four.app);
  EXPECT_FALSE(namesTheProof(rig.window));
  // Without a proof, Next step when not stepping still brings its box.
  Rig idle;
  idle.run({135});
  EXPECT_EQ(idle.window.boxes.size(), 1u);
}

TEST(Help, KeysListsEveryAcceleratorAndAboutNamesTheProgram) {
  const std::vector<MenuPopup>& menu = mainMenu();
  ASSERT_STREQ(menu.back().title, "&Help");
  for (const MenuPopup& popup : menu)
    for (const MenuItem& item : popup.items)
      if (item.text != nullptr && item.id >= 170) {
        EXPECT_LE(item.id, 209) << item.text;  // the additions use 170-209
      }
  Rig rig;
  rig.run({CommandId::keys});
  ASSERT_EQ(rig.window.boxes.size(), 1u);
  const std::string& keys = rig.window.boxes[0].second;
  for (const char* key : {"Ctrl+T", "Ctrl+S", "Ctrl+N", "Ctrl+G", "Ctrl+X", "Ctrl+E", "Ctrl+L", "Ctrl+R", "Space",
                          "+ or =", "\xe2\x88\x92", "Backspace", "F11", "Ctrl+P", "Ctrl+H", "Ctrl+Home"}) {
    EXPECT_NE(keys.find(key), std::string::npos) << key;
  }
  EXPECT_EQ(acceleratorTable().size(), 17u);  // each of them listed above
  rig.run({CommandId::about});
  ASSERT_EQ(rig.window.boxes.size(), 2u);
  EXPECT_NE(rig.window.boxes[1].second.find("Adaptive Rejection Sampler " ARS_VERSION), std::string::npos);
}

}  // namespace

namespace {

// The new commands mixed at random with the old ones: the display stays
// consistent, and Step back always lands where a replay with one step fewer does.
TEST(LectureCommands, RandomLessonsKeepTheStateConsistent) {
  Rig rig;
  std::mt19937 random(13);
  const int ids[] = {121, 124, 126, 111, 112, 133, 134, 135, 135, 135, 136, 137, 162, 170, 171, 171, 172, 173};
  std::uniform_int_distribution<int> pick(0, sizeof ids / sizeof ids[0] - 1);
  for (int i = 0; i < 1500; ++i) {
    const int id = ids[pick(random)];
    const int stepsBefore = rig.app.model().stepping.stepsTaken;
    const bool couldStepBack = rig.app.model().stepping.active && !rig.app.model().stepping.proof && stepsBefore > 0;
    rig.app.command(id);
    if (rig.app.model().stepping.animating) rig.tick();
    ASSERT_EQ(rig.app.model().darts.x.size(), rig.app.model().darts.y.size());
    if (rig.app.model().stepping.active) {
      ASSERT_GE(rig.app.model().sampler.segments.size(), 4u) << i << " after " << id;
    }
    if (rig.app.model().stepping.proof) {
      ASSERT_FALSE(rig.app.model().stepping.active);
    }
    if (id == CommandId::stepBack && couldStepBack) {
      ASSERT_EQ(rig.app.model().stepping.stepsTaken, stepsBefore - 1);
    }
    if (i % 50 == 0) {
      RecordingCanvas canvas;
      rig.app.paint(canvas);
    }
  }
}

}  // namespace
