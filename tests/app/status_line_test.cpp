// The status line after each kind of command, checked against the sampler's
// own counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frontends/qt/main_window.h"
#include "support/fake_window.h"

namespace {

struct StatusRig {
  StatusRig() { app.attach(window); }
  const std::string& after(int id) {
    app.command(id);
    return window.statusText;
  }
  FakeWindow window;
  MainWindow app;
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The percentage after "squeeze ".
double squeezePercent(const std::string& text) {
  const std::size_t at = text.find("squeeze ");
  if (at == std::string::npos) return -1;
  return std::stod(text.substr(at + 8));
}

TEST(StatusLine, NamesTheDensityInPlainWordsWhenNothingElseIsShown) {
  StatusRig rig;
  EXPECT_EQ(rig.after(141), "Beta density with alpha = 2 and beta = 3.");
  EXPECT_EQ(rig.after(122), "Beta density with alpha = 0.5 and beta = 2.");
  EXPECT_EQ(rig.after(123), "Gamma density with shape 1 and scale 1.");
  EXPECT_EQ(rig.after(124), "Gamma density with shape 10 and scale 0.1.");
  EXPECT_EQ(rig.after(125), "Gamma density with shape 0.5 and scale 2.");
  EXPECT_TRUE(contains(rig.after(126), "Test density"));
  // A scale change keeps the description.
  rig.after(121);
  EXPECT_EQ(rig.after(112), "Beta density with alpha = 2 and beta = 3.");
}

TEST(StatusLine, IsSetWhenTheWindowIsShown) {
  FakeWindowSystem system;
  MainWindow app;
  app.open(system, mainWindowTitle);
  app.show();
  EXPECT_EQ(system.window.statusText, "Beta density with alpha = 2 and beta = 3.");
}

TEST(StatusLine, StartOfSteppingCountsPointsAndEvaluations) {
  StatusRig rig;
  const std::string text = rig.after(134);
  char expected[128];
  std::snprintf(expected, sizeof expected, "Start: %zu points, %llu evaluations, squeeze ",
                rig.app.model().sampler.points.size(),
                static_cast<unsigned long long>(rig.app.model().sampler.counts.evaluations));
  EXPECT_EQ(text.rfind(expected, 0), 0u) << text;
  EXPECT_GT(rig.app.model().sampler.counts.evaluations, 0u);
  EXPECT_TRUE(contains(text, "Ctrl+N")) << text;
}

TEST(StatusLine, EveryStepSaysWhatItDidAndKeepsCount) {
  for (int kind : {1, 4}) {
    StatusRig rig;
    rig.after(120 + kind);
    rig.after(134);
    const double first = squeezePercent(rig.window.statusText);
    int squeezed = 0, evaluated = 0, rejected = 0;
    for (int step = 1; step <= 60; ++step) {
      const ars::SamplerCounts before = rig.app.model().sampler.counts;
      const std::size_t pointsBefore = rig.app.model().sampler.points.size();
      const std::string text = rig.after(135);
      SCOPED_TRACE(text);
      const ars::SamplerCounts& now = rig.app.model().sampler.counts;
      EXPECT_EQ(text.rfind("Step " + std::to_string(step) + ": ", 0), 0u);
      if (now.squeezeAccepts > before.squeezeAccepts) {
        ++squeezed;
        EXPECT_TRUE(contains(text, ": accepted by the squeeze."));
        EXPECT_EQ(now.evaluations, before.evaluations);
      } else if (now.densityAccepts > before.densityAccepts) {
        ++evaluated;
        EXPECT_TRUE(contains(text, ": accepted after evaluating the density."));
      } else {
        ASSERT_GT(now.rejections, before.rejections);
        ++rejected;
        char where[64];
        std::snprintf(where, sizeof where, ": rejected: new point at x = %.3f.", rig.app.model().sampler.lastX);
        EXPECT_TRUE(contains(text, where));
        EXPECT_EQ(rig.app.model().sampler.points.size(), pointsBefore + 1);
      }
      EXPECT_TRUE(contains(text, " " + std::to_string(rig.app.model().sampler.points.size()) + " points, "));
      EXPECT_TRUE(contains(text, " " + std::to_string(now.evaluations) + " evaluations, "));
      const double share = squeezePercent(text);
      EXPECT_GE(share, 0);
      EXPECT_LE(share, 100);  // the squeeze lies under the hull
    }
    EXPECT_GT(squeezed, 0) << kind;
    EXPECT_GT(rejected, 0) << kind;
    EXPECT_EQ(squeezed + evaluated + rejected, 60);
    // Refinement brings the squeeze closer to the hull.
    EXPECT_GT(squeezePercent(rig.window.statusText), first) << kind;
  }
}

TEST(StatusLine, CtrlGReportsTheAcceptedStep) {
  StatusRig rig;
  const std::string text = rig.after(137);
  EXPECT_TRUE(rig.app.model().stepping.lastAccepted);
  EXPECT_EQ(text.rfind("Step ", 0), 0u) << text;
  EXPECT_TRUE(contains(text, "accepted")) << text;
}

TEST(StatusLine, ThrowReportsDartsCandidatesRateEvaluationsAndPoints) {
  StatusRig rig;
  const std::string text = rig.after(133);
  const ARSSampler& s = rig.app.model().sampler;
  char expected[160];
  std::snprintf(expected, sizeof expected,
                "5000 darts from %llu candidates (%.1f%% accepted), %llu evaluations, %zu points at the end.",
                static_cast<unsigned long long>(s.counts.draws), 500000.0 / static_cast<double>(s.counts.draws),
                static_cast<unsigned long long>(s.counts.evaluations), s.points.size());
  EXPECT_EQ(text, expected);
  EXPECT_EQ(s.counts.draws, s.counts.squeezeAccepts + s.counts.densityAccepts + s.counts.rejections);
  // Hidden by stepping, then gone with the darts.
  EXPECT_EQ(rig.after(134).rfind("Start: ", 0), 0u);
  EXPECT_EQ(rig.after(136), "Beta density with alpha = 2 and beta = 3.");
  rig.after(133);
  EXPECT_EQ(rig.after(111), "Beta density with alpha = 2 and beta = 3.");
}

TEST(StatusLine, NotLogConcaveIsReportedUntilTheNextStart) {
  StatusRig rig;
  rig.after(122);
  const std::string report = "Beta density with alpha = 0.5 and beta = 2 is not log-concave: the sampler refuses it.";
  EXPECT_EQ(rig.after(133), report);
  EXPECT_EQ(rig.after(141), report);
  EXPECT_EQ(rig.after(134), report);
  EXPECT_EQ(rig.after(137), report);
  EXPECT_EQ(rig.after(121), "Beta density with alpha = 2 and beta = 3.");
  // Found while stepping: the report replaces the stepping line.
  rig.after(126);
  rig.after(134);
  for (int i = 0; i < 5000 && rig.app.model().stepping.active; ++i) rig.after(135);
  ASSERT_EQ(rig.window.boxes.size(), 4u);
  EXPECT_TRUE(contains(rig.window.statusText, "is not log-concave")) << rig.window.statusText;
  EXPECT_EQ(rig.after(134).rfind("Start: ", 0), 0u);
}

}  // namespace
