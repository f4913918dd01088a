#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/main_window.h"
#include "density/density_kinds.h"
#include "model/density_curve.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

double largest(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

TEST(DensityCurve, StartUpCurve) {
  WindowModel model;
  EXPECT_EQ(model.curve.plotter.numPoints, 99);
  EXPECT_EQ(model.curve.plotter.xValues.front(), 0.01);
  EXPECT_NEAR(model.curve.plotter.xValues.back(), 0.99, 1e-9);
  EXPECT_EQ(model.curve.plotter.xMin, 0.0);
  EXPECT_EQ(model.curve.plotter.xMax, 1.0);
  EXPECT_FALSE(model.curve.plotter.autoScaleX);
  EXPECT_FALSE(model.curve.plotter.histogramMode);
  EXPECT_NEAR(model.curve.logOffset, 51.9096, 1e-4);
  EXPECT_DOUBLE_EQ(largest(model.curve.plotter.yValues), std::exp(50.0));
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
      EXPECT_EQ(model.curve.plotter.numPoints, logScale ? log[kind - 1] : normal[kind - 1])
          << kind << " " << logScale;
      EXPECT_EQ(model.curve.plotter.xValues.size(), model.curve.plotter.yValues.size());
      if (logScale) {
        EXPECT_NEAR(largest(model.curve.plotter.yValues), 50.0, 1e-12) << kind;
      }
      EXPECT_EQ(model.curve.plotter.xMax, model.curve.xMax);
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
  EXPECT_NEAR(model.curve.plotter.yValues.back(), -19.33, 0.01);
  model.view.logScale = false;
  rebuildDensityCurve(model);
  EXPECT_EQ(model.curve.xMax, 3.0);
  EXPECT_EQ(model.curve.plotter.numPoints, 300);
  EXPECT_LT(model.curve.plotter.xValues.back(), 3.0);
}

TEST(DensityCurve, TestDensityGridAfterAnotherKind) {
  WindowModel model;
  model.density.kind = 4;
  rebuildDensityCurve(model);
  model.density.kind = 6;
  rebuildDensityCurve(model);
  EXPECT_EQ(model.curve.plotter.xValues.front(), 0.01);
  EXPECT_NEAR(model.curve.plotter.xValues.back(), 0.985, 1e-9);
}

TEST(DensityCurve, LogScaleSwitchesThePlotToAutomaticXRange) {
  MainWindow app;
  FakeWindow window;
  app.attach(window);
  RecordingCanvas canvas;
  app.command(112);
  app.paint(canvas);
  EXPECT_TRUE(app.model().curve.plotter.autoScaleX);
  EXPECT_EQ(app.model().curve.plotter.xMin, 0.01);
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
  EXPECT_EQ(app.model().curve.plotter.xMin, 0.0);
  const auto normalTexts = normal.texts();
  EXPECT_NE(std::find(normalTexts.begin(), normalTexts.end(), "0.00"), normalTexts.end());
  EXPECT_EQ(yLabels(normal), 0);
}

}  // namespace
