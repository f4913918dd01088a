#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/main_window.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

double largest(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

TEST(DensityCurve, StartUpCurve) {
  MainWindow app;
  EXPECT_EQ(app.plotter.numPoints, 99);
  EXPECT_EQ(app.plotter.xValues.front(), 0.01);
  EXPECT_NEAR(app.plotter.xValues.back(), 0.99, 1e-9);
  EXPECT_EQ(app.plotter.xMin, 0.0);
  EXPECT_EQ(app.plotter.xMax, 1.0);
  EXPECT_FALSE(app.plotter.autoScaleX);
  EXPECT_FALSE(app.plotter.histogramMode);
  EXPECT_NEAR(app.curveLogOffset, 51.9096, 1e-4);
  EXPECT_DOUBLE_EQ(largest(app.plotter.yValues), std::exp(50.0));
  EXPECT_EQ(app.alpha, 2.0);
  EXPECT_EQ(app.beta, 3.0);
}

TEST(DensityCurve, PointCountsPerKindAndScale) {
  MainWindow app;
  const int normal[] = {99, 99, 300, 300, 599, 196};
  const int log[] = {99, 99, 300, 1000, 599, 196};
  for (int kind = 1; kind <= 6; ++kind) {
    for (bool logScale : {false, true}) {
      app.densityKind = kind;
      app.logScale = logScale;
      app.rebuildDensityCurve();
      EXPECT_EQ(app.plotter.numPoints, logScale ? log[kind - 1] : normal[kind - 1])
          << kind << " " << logScale;
      EXPECT_EQ(app.plotter.xValues.size(), app.plotter.yValues.size());
      if (logScale) {
        EXPECT_NEAR(largest(app.plotter.yValues), 50.0, 1e-12) << kind;
      }
      EXPECT_EQ(app.plotter.xMax, app.plotXMax);
    }
  }
}

TEST(DensityCurve, GammaOnTheLogScale) {
  MainWindow app;
  app.densityKind = 4;
  app.logScale = true;
  app.rebuildDensityCurve();
  EXPECT_EQ(app.plotXMax, 10.0);
  EXPECT_NEAR(app.curveLogOffset, 49.7242, 1e-4);
  EXPECT_NEAR(app.plotter.yValues.back(), -19.33, 0.01);
  app.logScale = false;
  app.rebuildDensityCurve();
  EXPECT_EQ(app.plotXMax, 3.0);
  EXPECT_EQ(app.plotter.numPoints, 300);
  EXPECT_LT(app.plotter.xValues.back(), 3.0);
}

TEST(DensityCurve, TestDensityKeepsTheCaptionParameters) {
  MainWindow app;
  app.densityKind = 4;
  app.rebuildDensityCurve();
  app.densityKind = 6;
  app.rebuildDensityCurve();
  EXPECT_EQ(app.alpha, 10.0);
  EXPECT_EQ(app.beta, 0.1);
  EXPECT_EQ(app.plotter.xValues.front(), 0.01);
  EXPECT_NEAR(app.plotter.xValues.back(), 0.985, 1e-9);
}

TEST(DensityCurve, LogScaleSwitchesThePlotToAutomaticXRange) {
  MainWindow app;
  FakeWindow window;
  app.hwnd = &window;
  RecordingCanvas canvas;
  app.command(112);
  app.paint(canvas);
  EXPECT_TRUE(app.plotter.autoScaleX);
  EXPECT_EQ(app.plotter.xMin, 0.01);
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
  EXPECT_EQ(app.plotter.xMin, 0.0);
  const auto normalTexts = normal.texts();
  EXPECT_NE(std::find(normalTexts.begin(), normalTexts.end(), "0.00"), normalTexts.end());
  EXPECT_EQ(yLabels(normal), 0);
}

}  // namespace
