// The model driven as a second front end would drive it, without a window,
// and saved views restored into a fresh model.
#include <gtest/gtest.h>

#include <limits>

#include "density/catalogue.h"
#include "density/density_kinds.h"
#include "model/density_curve.h"
#include "model/other_density.h"
#include "model/sampler_commands.h"
#include "model/saved_view.h"
#include "model/window_model.h"
#include "support/recording_reports.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// Notes what the model holds at the moment of the report, as a window's
// message box would show it.
struct ReportsSeeingTheModel : RecordingReports {
  explicit ReportsSeeingTheModel(const WindowModel& m) : model(m) {}
  void refused() override { log.push_back("refused: " + model.density.refusal); }
  const WindowModel& model;
};

TEST(WindowModel, CommandsReportWhatTheyMeet) {
  WindowModel model;
  ReportsSeeingTheModel reports(model);
  nextStep(model, reports);
  EXPECT_EQ(reports.log, std::vector<std::string>{"not stepping"});

  startStepping(model, reports);
  stepUntilAccepted(model, reports);
  EXPECT_TRUE(model.stepping.active);
  EXPECT_TRUE(model.stepping.lastAccepted);
  EXPECT_FALSE(model.sampler.segments.empty());
  EXPECT_EQ(reports.log.size(), 1u);

  // A refusal is recorded in the model before it is reported.
  // The Cauchy taken as log-concave, without its transformation.
  const CatalogueKind cauchy = CatalogueKind::cauchy;
  DensityChoice underLog = catalogueChoice(cauchy, catalogueEntry(cauchy).defaults);
  underLog.transform = ars::Transform::Log;
  ASSERT_EQ(selectOtherDensity(model, underLog), "");
  EXPECT_FALSE(model.stepping.active);
  throwDarts(model, reports);
  ASSERT_EQ(reports.log.size(), 2u);
  EXPECT_EQ(reports.log.back(), "refused: " + model.density.refusal);
  EXPECT_TRUE(model.stepping.notLogConcaveShown);
  EXPECT_NE(model.density.refusal.find("lies below the chord"), std::string::npos);
  EXPECT_TRUE(model.stepping.proof.has_value());
  EXPECT_TRUE(model.darts.x.empty());
}

TEST(SavedView, RestoresTheDensityAndTheViewIntoAFreshModel) {
  WindowModel shown;
  RecordingReports reports;
  shown.view.logScale = true;
  shown.view.largerPoints = true;
  shown.view.animationSpeed = 4;
  shown.density.kind = 4;
  rebuildDensityCurve(shown);
  throwDarts(shown, reports);

  WindowModel fresh;
  ASSERT_EQ(restoreView(fresh, savedView(shown), reports), "");
  EXPECT_EQ(fresh.density.kind, 4);
  EXPECT_TRUE(fresh.view.logScale);
  EXPECT_TRUE(fresh.view.largerPoints);
  EXPECT_EQ(fresh.view.animationSpeed, 4);
  EXPECT_EQ(fresh.curve.yValues, shown.curve.yValues);
  EXPECT_TRUE(fresh.darts.x.empty());

  // A typed density keeps its caption and its curve.
  const CatalogueKind gumbel = CatalogueKind::gumbel;
  ASSERT_EQ(selectOtherDensity(shown, catalogueChoice(gumbel, {1, 0.5})), "");
  WindowModel typed;
  ASSERT_EQ(restoreView(typed, savedView(shown), reports), "");
  EXPECT_EQ(typed.density.kind, otherDensityKind);
  EXPECT_EQ(typed.density.otherChoice.caption, shown.density.otherChoice.caption);
  EXPECT_EQ(typed.curve.xValues, shown.curve.xValues);
  EXPECT_EQ(typed.curve.yValues, shown.curve.yValues);
}

TEST(SavedView, AnUnusableViewChangesNothing) {
  WindowModel model;
  RecordingReports reports;
  const std::vector<double> curve = model.curve.yValues;
  SavedView saved = savedView(model);
  saved.view.logScale = true;
  saved.densityKind = lastDensityKind + 3;
  EXPECT_FALSE(restoreView(model, saved, reports).empty());
  saved.densityKind = otherDensityKind;
  saved.otherChoice = {"", "exp(-x^2", false, -inf, inf};
  EXPECT_FALSE(restoreView(model, saved, reports).empty());
  EXPECT_EQ(model.density.kind, 1);
  EXPECT_FALSE(model.view.logScale);
  EXPECT_EQ(model.curve.yValues, curve);
}

}  // namespace
