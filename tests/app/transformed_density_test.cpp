// Densities sampled under T(f) = -1/sqrt(f) or with split points in the
// window: darts through the window's random source, the T scale, and the
// refusal that offers the transformation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "frontends/qt/main_window.h"
#include "density/catalogue.h"
#include "display/axis_titles.h"
#include "model/sampler_commands.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/goodness_of_fit.h"
#include "support/recording_canvas.h"
#include "support/window_rig.h"
#include "support/student_t_cdf.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

using Rig = WindowRig;

DensityChoice studentT(double nu) { return catalogueChoice(CatalogueKind::studentT, {nu}); }

TEST(TransformedDensity, StudentTDartsFollowTheLawAndReplayFromTheSeed) {
  Rig rig;
  ASSERT_EQ(rig.app.selectOtherDensity(studentT(5)), "");
  rig.app.command(CommandId::throwDarts);
  std::vector<double> darts = rig.app.model().darts.x;
  rig.app.command(CommandId::throwDarts);
  darts.insert(darts.end(), rig.app.model().darts.x.begin(), rig.app.model().darts.x.end());
  ASSERT_EQ(darts.size(), 10000u);
  EXPECT_TRUE(rig.window.boxes.empty());
  const int bins = equalProbabilityBins(darts.size());
  EXPECT_LT(chiSquare(darts, [](double x) { return studentTCdf(x, 5); }, bins), chiSquareQuantile(bins - 1, chiSquareZ));
  // Every dart lies under the curve, on the scale it is plotted on.
  const WindowModel& m = rig.app.model();
  for (std::size_t i = 0; i < m.darts.x.size(); i += 97) {
    EXPECT_LE(m.darts.y[i], plottedHeight(m.curve, false, m.density.otherDensity->logDensity(m.darts.x[i])));
  }
  // The window's own random source: the seed replays the throw.
  const std::vector<double> last = m.darts.x;
  rig.app.command(CommandId::restartFromSeed);
  rig.app.command(CommandId::throwDarts);
  rig.app.command(CommandId::throwDarts);
  EXPECT_EQ(rig.app.model().darts.x, last);
  // Stepping runs on the same envelope, drawn on every scale, the T scale too.
  rig.app.command(CommandId::startStepping);
  for (int i = 0; i < 20; ++i) rig.app.command(CommandId::nextStep);
  EXPECT_TRUE(rig.window.boxes.empty());
  ASSERT_TRUE(rig.app.model().stepping.active);
  EXPECT_EQ(rig.app.model().stepping.stepsTaken, 20);
  for (int scale : {CommandId::logScale, CommandId::tScale}) {
    rig.app.command(scale);
    RecordingCanvas canvas;
    rig.app.paint(canvas);
    EXPECT_TRUE(rig.window.boxes.empty());
  }
}

TEST(TransformedDensity, MixtureWithSplitsIsSampledAndItsSplitsDrawn) {
  Rig rig;
  ASSERT_EQ(rig.app.selectOtherDensity(catalogueChoice(CatalogueKind::normalMixture, {0.5, -2, 1, 2, 1})), "");
  rig.app.command(CommandId::throwDarts);
  const std::vector<double>& x = rig.app.model().darts.x;
  ASSERT_EQ(x.size(), 5000u);
  const auto cdf = [](double v) { return 0.25 * (std::erfc(-(v + 2) / std::sqrt(2.0)) + std::erfc(-(v - 2) / std::sqrt(2.0))); };
  const int bins = equalProbabilityBins(x.size());
  EXPECT_LT(chiSquare(x, cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
  ASSERT_FALSE(rig.window.legend.empty());
  EXPECT_STREQ(rig.window.legend.back().name, "inflection");
}

TEST(TransformedDensity, TScaleShowsMinusOneOverRootFAndMapsForeignReferences) {
  Rig rig;
  FakeMenu plot;
  rig.app.updateMenu(plot, 1);
  EXPECT_FALSE(plot.enabledItems.at(CommandId::tScale));  // Beta(2,3) has no T scale
  rig.app.command(CommandId::tScale);
  EXPECT_FALSE(rig.app.model().curve.tScale);
  rig.app.command(CommandId::tScale);

  ASSERT_EQ(rig.app.selectOtherDensity(catalogueChoice(CatalogueKind::cauchy, {0, 1})), "");
  rig.app.updateMenu(plot, 1);
  EXPECT_TRUE(plot.enabledItems.at(CommandId::tScale));
  EXPECT_FALSE(plot.checks.at(CommandId::tScale));
  rig.app.command(CommandId::tScale);
  const CurveState& curve = rig.app.model().curve;
  ASSERT_TRUE(curve.tScale);
  // The curve's highest point at -1; the Cauchy's -1/sqrt(f / f(x0)) = -sqrt((1 + x^2) / (1 + x0^2)) elsewhere.
  const std::vector<double>& xs = curve.xValues;
  const std::vector<double>& ys = curve.yValues;
  const std::size_t top = static_cast<std::size_t>(std::max_element(ys.begin(), ys.end()) - ys.begin());
  EXPECT_DOUBLE_EQ(ys[top], -1);
  for (std::size_t i = 0; i < xs.size(); i += 50) {
    EXPECT_NEAR(ys[i], -std::sqrt((1 + xs[i] * xs[i]) / (1 + xs[top] * xs[top])), 1e-9 * std::fabs(ys[i]));
  }
  // A T value kept relative to another reference lands where its density does.
  const double peakLog = 50 - curve.logOffset;
  for (const double h : {peakLog - 3, peakLog + 1}) {
    const double reference = peakLog + 2.5;
    EXPECT_NEAR(plottedT(curve, -std::exp(-(h - reference) / 2), reference), plottedHeight(curve, false, h), 1e-12);
  }
  RecordingCanvas canvas;
  rig.app.paint(canvas);
  const std::vector<std::string> texts = canvas.texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), yAxisTitle(VerticalScale::t)), texts.end());
}

TEST(TransformedDensity, RefusalOffersInverseSqrtOnlyWhereItHelps) {
  // A heavy tail typed as a plain density: refused under log, the box offers -1/sqrt(f).
  Rig rig;
  ASSERT_EQ(rig.app.selectOtherDensity({"", "1/(1+x^2)", false, -inf, inf}), "");
  rig.app.command(CommandId::throwDarts);
  ASSERT_EQ(rig.window.offers.size(), 1u);
  EXPECT_NE(rig.window.boxes[0].second.find("concave wherever it is plotted"), std::string::npos);
  EXPECT_TRUE(rig.app.model().darts.x.empty());
  // Taken: the density is chosen again under -1/sqrt(f) and the darts thrown.
  rig.window.takeOffers = true;
  rig.app.command(CommandId::throwDarts);
  EXPECT_EQ(rig.app.model().density.otherChoice.transform, ars::Transform::InverseSqrt);
  EXPECT_EQ(rig.app.model().darts.x.size(), 5000u);
  EXPECT_EQ(rig.window.boxes.size(), 2u);

  // Two modes are no better under -1/sqrt(f): a plain box.
  Rig modes;
  ASSERT_EQ(modes.app.selectOtherDensity({"", "exp(-(x+2)^2/2) + exp(-(x-2)^2/2)", false, -inf, inf}), "");
  modes.app.command(CommandId::throwDarts);
  EXPECT_EQ(modes.window.boxes.size(), 1u);
  EXPECT_TRUE(modes.window.offers.empty());

  // The built-in kinds' report is the classic one, word for word.
  Rig builtIn;
  builtIn.app.command(122);
  builtIn.app.command(CommandId::throwDarts);
  ASSERT_EQ(builtIn.window.boxes.size(), 1u);
  EXPECT_TRUE(builtIn.window.offers.empty());
  EXPECT_EQ(builtIn.window.boxes[0].first, "Log-concavity assumption violated");
  EXPECT_EQ(builtIn.window.boxes[0].second,
            "Adaptive rejection sampler doesn't work for\ndensities that are not log-concave");
}

}  // namespace
