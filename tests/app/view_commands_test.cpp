// The View pop-up: status bar, animation driven by timer messages, larger points.
#include <gtest/gtest.h>

#include "frontends/qt/main_window.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

struct ViewRig {
  ViewRig() {
    window.setUserData(&app);
    app.attach(window);
  }
  void tick() { mainWindowProc(window, WindowMessage::Timer, MessageParams()); }
  FakeWindow window;
  MainWindow app;
};

TEST(Animation, StepsOnEveryTickPastAcceptances) {
  ViewRig rig;
  rig.app.command(CommandId::startStepping);
  rig.app.command(CommandId::animateSteps);
  EXPECT_TRUE(rig.app.model().stepping.animating);
  EXPECT_EQ(rig.window.timerMilliseconds, 500);
  int acceptances = 0;
  for (int tick = 1; tick <= 40; ++tick) {
    const int repaints = rig.window.repaints;
    rig.tick();
    EXPECT_EQ(rig.app.model().stepping.stepsTaken, tick);
    EXPECT_GT(rig.window.repaints, repaints);
    if (rig.app.model().stepping.lastAccepted) ++acceptances;
  }
  EXPECT_GT(acceptances, 1);
  EXPECT_TRUE(rig.app.model().stepping.animating);
  EXPECT_EQ(rig.window.timerMilliseconds, 500);
  // Space stops it; a late tick changes nothing.
  rig.app.command(CommandId::animateSteps);
  EXPECT_EQ(rig.window.timerMilliseconds, 0);
  rig.tick();
  EXPECT_EQ(rig.app.model().stepping.stepsTaken, 40);
}

TEST(Animation, GivesTheSameStepsAsNextStep) {
  ViewRig animated;
  ViewRig manual;
  animated.app.command(CommandId::startStepping);
  manual.app.command(CommandId::startStepping);
  animated.app.command(CommandId::animateSteps);
  for (int i = 0; i < 25; ++i) animated.tick();
  for (int i = 0; i < animated.app.model().stepping.stepsTaken; ++i) manual.app.command(CommandId::nextStep);
  EXPECT_EQ(animated.app.model().stepping.stepsTaken, 25);
  EXPECT_EQ(animated.app.model().sampler.lastX, manual.app.model().sampler.lastX);
  EXPECT_EQ(animated.app.model().sampler.points.size(), manual.app.model().sampler.points.size());
  EXPECT_EQ(animated.app.model().rnd.state, manual.app.model().rnd.state);
}

TEST(Animation, SpaceAgainStopsIt) {
  ViewRig rig;
  rig.app.command(CommandId::animateSteps);  // starts the stepping itself
  ASSERT_TRUE(rig.app.model().stepping.active);
  ASSERT_TRUE(rig.app.model().stepping.animating);
  rig.app.command(CommandId::animateSteps);
  EXPECT_FALSE(rig.app.model().stepping.animating);
  EXPECT_EQ(rig.window.timerMilliseconds, 0);
  rig.tick();
  EXPECT_EQ(rig.app.model().stepping.stepsTaken, 0);
}

TEST(Animation, StopsAtDensityScaleThrowAndStopCommands) {
  for (int id : {121, 124, 126, 111, 112, 133, 136}) {
    ViewRig rig;
    rig.app.command(CommandId::startStepping);
    rig.app.command(CommandId::animateSteps);
    rig.app.command(id);
    EXPECT_FALSE(rig.app.model().stepping.animating) << id;
    EXPECT_EQ(rig.window.timerMilliseconds, 0) << id;
  }
  // Refresh and the other View items leave it running.
  for (int id : {141, CommandId::largerPoints, CommandId::statusBar}) {
    ViewRig rig;
    rig.app.command(CommandId::animateSteps);
    rig.app.command(id);
    EXPECT_TRUE(rig.app.model().stepping.animating) << id;
  }
}

TEST(Animation, StopsWhenAMessageBoxOpens) {
  ViewRig rig;
  rig.app.command(126);  // the test density fails a step sooner or later
  rig.app.command(CommandId::animateSteps);
  for (int i = 0; i < 5000 && rig.app.model().stepping.animating; ++i) rig.tick();
  ASSERT_EQ(rig.window.boxes.size(), 1u);
  EXPECT_FALSE(rig.app.model().stepping.animating);
  EXPECT_FALSE(rig.app.model().stepping.active);
  EXPECT_EQ(rig.window.timerMilliseconds, 0);

  // A density whose start fails never animates.
  ViewRig failing;
  failing.app.command(122);
  failing.app.command(CommandId::animateSteps);
  EXPECT_EQ(failing.window.boxes.size(), 1u);
  EXPECT_FALSE(failing.app.model().stepping.animating);
  EXPECT_EQ(failing.window.timerMilliseconds, 0);
}

TEST(ViewMenu, CheckMarksShowTheStateWhenItOpens) {
  ViewRig rig;
  FakeMenu menu;
  rig.app.updateMenu(menu, 4);
  EXPECT_EQ(menu.checks,
            (std::map<int, bool>{{161, true}, {162, false}, {163, false}, {174, false}, {193, false}, {164, false}, {195, false},
                                  {199, false}, {200, false}, {201, false}, {202, false}, {203, false}, {197, false}, {198, false}}));
  rig.app.command(CommandId::statusBar);
  rig.app.command(CommandId::animateSteps);
  rig.app.command(CommandId::largerPoints);
  rig.app.updateMenu(menu, 4);
  EXPECT_EQ(menu.checks,
            (std::map<int, bool>{{161, false}, {162, true}, {163, true}, {174, false}, {193, false}, {164, false}, {195, false},
                                  {199, false}, {200, false}, {201, false}, {202, false}, {203, false}, {197, false}, {198, false}}));
  rig.app.command(CommandId::whyPanel);
  rig.app.updateMenu(menu, 4);
  EXPECT_TRUE(menu.checks[201]);
  EXPECT_FALSE(menu.checks[202]);
  // The classic pop-ups keep their marks by position.
  FakeMenu plot;
  rig.app.updateMenu(plot, 1);
  EXPECT_EQ(plot.checks, (std::map<int, bool>{{111, true}, {112, false}, {196, false}}));
  FakeMenu go;
  rig.app.updateMenu(go, 3);
  EXPECT_TRUE(go.checks.empty());
}

TEST(ViewMenu, StatusBarTogglesTheWindowsStatusLine) {
  ViewRig rig;
  rig.app.command(CommandId::statusBar);
  EXPECT_FALSE(rig.window.statusBarShown);
  rig.app.command(CommandId::statusBar);
  EXPECT_TRUE(rig.window.statusBarShown);
}

TEST(ViewMenu, LargerPointsDoublesEveryDotAboutItsCentre) {
  ViewRig rig;
  rig.app.command(CommandId::throwDarts);
  RecordingCanvas normal;
  rig.app.paint(normal);
  rig.app.command(CommandId::largerPoints);
  RecordingCanvas larger;
  rig.app.paint(larger);
  const auto small = normal.of(Primitive::Ellipse);
  const auto big = larger.of(Primitive::Ellipse);
  ASSERT_EQ(small.size(), 5000u);
  ASSERT_EQ(big.size(), small.size());
  for (std::size_t i = 0; i < small.size(); i += 97) {
    EXPECT_EQ(big[i].a + big[i].c, small[i].a + small[i].c);
    EXPECT_EQ(big[i].b + big[i].d, small[i].b + small[i].d);
    EXPECT_EQ(big[i].c - big[i].a, 4);
  }
  // While stepping: points 8 across, the candidate 16.
  rig.app.command(CommandId::startStepping);
  rig.app.command(CommandId::nextStep);
  RecordingCanvas stepping;
  rig.app.paint(stepping);
  const auto dots = stepping.of(Primitive::Ellipse);
  // The candidate lies above the frame: its marker at the edge comes last.
  ASSERT_EQ(dots.size(), rig.app.model().sampler.points.size() + 2);
  for (std::size_t i = 0; i + 2 < dots.size(); ++i) EXPECT_EQ(dots[i].c - dots[i].a, 8);
  EXPECT_EQ(dots[dots.size() - 2].c - dots[dots.size() - 2].a, 16);
}

TEST(SavePicture, AsksTheWindowAndStopsTheAnimation) {
  ViewRig rig;
  rig.app.command(CommandId::animateSteps);
  rig.app.command(CommandId::savePicture);
  EXPECT_EQ(rig.window.pictureRequests, 1);
  EXPECT_FALSE(rig.app.model().stepping.animating);
}

}  // namespace
