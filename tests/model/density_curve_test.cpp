#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "frontends/qt/main_window.h"
#include "density/density_kinds.h"
#include "display/plot_layout.h"
#include "model/density_curve.h"
#include "model/sampler_commands.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"
#include "support/recording_reports.h"

namespace {

double largest(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

TEST(DensityCurve, StartUpCurve) {
  WindowModel model;
  EXPECT_EQ(model.curve.xValues.size(), 99u);
  EXPECT_EQ(model.curve.xValues.front(), 0.01);
  EXPECT_NEAR(model.curve.xValues.back(), 0.99, 1e-9);
  // The normal scale plots the whole range, not the points' own.
  const PlotLayout layout = layoutPlot(model, Rect{0, 0, 400, 300});
  EXPECT_EQ(layout.ranges.xMin, 0.0);
  EXPECT_EQ(layout.ranges.xMax, 1.0);
  EXPECT_FALSE(layout.yTicks);
  EXPECT_NEAR(model.curve.logOffset, 51.9096, 1e-4);
  EXPECT_DOUBLE_EQ(largest(model.curve.yValues), std::exp(50.0));
  EXPECT_EQ(densityKindRow(model.density.kind).alpha, 2.0);
  EXPECT_EQ(densityKindRow(model.density.kind).beta, 3.0);
}

TEST(DensityCurve, PointCountsPerKindAndScale) {
  WindowModel model;
  const int normal[] = {99, 99, 300, 300, 599, 196};
  const int log[] = {99, 99, 300, 1000, 599, 196};
  for (int kind = 1; kind <= 6; ++kind) {
    for (bool logScale : {false, true}) {
      model.density.kind = kind;
      model.view.logScale = logScale;
      rebuildDensityCurve(model);
      EXPECT_EQ(model.curve.xValues.size(), static_cast<std::size_t>(logScale ? log[kind - 1] : normal[kind - 1]))
          << kind << " " << logScale;
      EXPECT_EQ(model.curve.xValues.size(), model.curve.yValues.size());
      if (logScale) {
        EXPECT_NEAR(largest(model.curve.yValues), 50.0, 1e-12) << kind;
      }
      EXPECT_EQ(layoutPlot(model, Rect{0, 0, 400, 300}).ranges.xMax,
                logScale ? model.curve.xValues.back() : model.curve.xMax);
    }
  }
}

TEST(DensityCurve, BuiltInCurvesAreTheSamplersDensitiesBitForBit) {
  WindowModel model;
  RecordingReports reports;
  for (int kind = 1; kind <= 6; ++kind) {
    for (bool logScale : {false, true}) {
      model.density.kind = kind;
      model.view.logScale = logScale;
      rebuildDensityCurve(model);
      prepareSampler(model);
      const ARSDensity& density = *model.sampler.density;
      const CurveState& curve = model.curve;
      for (std::size_t i = 0; i < curve.xValues.size(); ++i) {
        const double expected = plottedHeight(curve, logScale, density.logDensity(curve.xValues[i]));
        ASSERT_EQ(curve.yValues[i], expected) << kind << " " << logScale << " at " << curve.xValues[i];
      }
    }
  }
}

TEST(DensityCurve, GammaOnTheLogScale) {
  WindowModel model;
  model.density.kind = 4;
  model.view.logScale = true;
  rebuildDensityCurve(model);
  EXPECT_EQ(model.curve.xMax, 10.0);
  EXPECT_NEAR(model.curve.logOffset, 49.7242, 1e-4);
  EXPECT_NEAR(model.curve.yValues.back(), -19.33, 0.01);
  model.view.logScale = false;
  rebuildDensityCurve(model);
  EXPECT_EQ(model.curve.xMax, 3.0);
  EXPECT_EQ(model.curve.xValues.size(), 300u);
  EXPECT_LT(model.curve.xValues.back(), 3.0);
}

TEST(DensityCurve, TestDensityGridAfterAnotherKind) {
  WindowModel model;
  model.density.kind = 4;
  rebuildDensityCurve(model);
  model.density.kind = 6;
  rebuildDensityCurve(model);
  EXPECT_EQ(model.curve.xValues.front(), 0.01);
  EXPECT_NEAR(model.curve.xValues.back(), 0.985, 1e-9);
}

TEST(DensityCurve, LogScaleSwitchesThePlotToAutomaticXRange) {
  MainWindow app;
  FakeWindow window;
  app.attach(window);
  RecordingCanvas canvas;
  app.command(112);
  app.paint(canvas);
  EXPECT_EQ(layoutPlot(app.model(), window.clientRect()).ranges.xMin, 0.01);
  const auto texts = canvas.texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "0.01"), texts.end());
  const auto yLabels = [](const RecordingCanvas& c) {
    int n = 0;
    for (const Primitive& t : c.of(Primitive::Text)) n += t.c == 80 - 4;
    return n;
  };
  EXPECT_GE(yLabels(canvas), 5) << "y labels on";

  RecordingCanvas normal;
  app.command(111);
  app.paint(normal);
  EXPECT_EQ(layoutPlot(app.model(), window.clientRect()).ranges.xMin, 0.0);
  const auto normalTexts = normal.texts();
  EXPECT_NE(std::find(normalTexts.begin(), normalTexts.end(), "0.00"), normalTexts.end());
  EXPECT_EQ(yLabels(normal), 0);
}

}  // namespace
