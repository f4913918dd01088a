#include "display/plotter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/pixel.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

Plotter line(double x0, double x1, double y0, double y1) {
  Plotter p;
  p.addPoint(x0, y0);
  p.addPoint(x1, y1);
  return p;
}

std::vector<std::string> labelsUnder(const RecordingCanvas& canvas, int bottom) {
  std::vector<std::string> result;
  for (const Primitive& t : canvas.of(Primitive::Text)) {
    if (t.b == bottom + 4) result.push_back(t.text);
  }
  return result;
}

TEST(Plotter, FrameAndMarginsFollowTheClientSize) {
  for (auto [w, h] : {std::pair{400, 300}, std::pair{1000, 500}, std::pair{17, 9}}) {
    FakeWindow window(w, h);
    RecordingCanvas canvas;
    Plotter p = line(0, 1, 0, 1);
    p.drawXTicks = p.drawYTicks = false;
    p.draw(window, canvas);
    const auto& log = canvas.log;
    ASSERT_GE(log.size(), 4u);
    const int mx = w / 5, my = h / 5;
    // x axis, y axis, then the data from (left, bottom) to (right, top).
    EXPECT_EQ(log[0].a, mx);
    EXPECT_EQ(log[0].b, h - my);
    EXPECT_EQ(log[1].a, w - mx);
    EXPECT_EQ(log[1].b, h - my);
    EXPECT_EQ(log[3].a, mx);
    EXPECT_EQ(log[3].b, my);
    EXPECT_EQ(log.back().a, w - mx);
    EXPECT_EQ(log.back().b, my);
    EXPECT_EQ(log.back().pen, 0x00FF0000u);
    PlotMapping m;
    p.getMapping(window, m);
    EXPECT_EQ(m.originX, mx);
    EXPECT_EQ(m.originY, h - my);
    EXPECT_EQ(m.scaleX, w - 2 * mx);
    EXPECT_EQ(m.scaleY, h - 2 * my);
    EXPECT_EQ(canvas.pen, 0x00000000u) << "pen restored";
  }
}

TEST(Plotter, TickLabelsAndPositions) {
  FakeWindow window;
  RecordingCanvas canvas;
  Plotter p = line(0, 1, 0, 1);
  p.draw(window, canvas);
  const std::vector<std::string> expected = {"0.00", "0.20", "0.40", "0.60", "0.80", "1.00"};
  EXPECT_EQ(labelsUnder(canvas, 240), expected);
  // Ticks at left + trunc(t * 240); labels centred under them.
  const int tickX[] = {80, 128, 176, 224, 272, 320};
  int i = 0;
  for (const Primitive& t : canvas.of(Primitive::Text)) {
    if (t.b != 244) continue;
    EXPECT_EQ(t.a, tickX[i] - 14);
    EXPECT_EQ(t.c, tickX[i] - 14 + 28);
    EXPECT_EQ(t.d, 244 + 13);
    EXPECT_EQ(t.format, DT_CENTER);
    ++i;
  }
  // y labels stand right-aligned 4 pixels left of the axis, centred on their ticks.
  const auto texts = canvas.of(Primitive::Text);
  const Primitive& top = texts.back();
  EXPECT_EQ(top.text, "1.00");
  EXPECT_EQ(top.c, 76);
  EXPECT_EQ(top.a, 76 - 28);
  EXPECT_EQ(top.b, 60 - 6);

  for (double end : {3.0, 10.0}) {
    RecordingCanvas other;
    Plotter q = line(0, end, 0, 1);
    q.drawYTicks = false;
    q.draw(window, other);
    const auto labels = labelsUnder(other, 240);
    ASSERT_EQ(labels.size(), 6u) << end;
    EXPECT_EQ(labels.front(), "0.00");
    EXPECT_EQ(labels.back(), end == 3.0 ? "3.00" : "10.00");
  }
}

TEST(Plotter, NoDataToPlot) {
  FakeWindow window;
  for (int n = 0; n < 2; ++n) {
    RecordingCanvas canvas;
    Plotter p;
    if (n == 1) p.addPoint(0.5, 0.5);
    p.xMin = -3;
    p.draw(window, canvas);
    ASSERT_EQ(canvas.of(Primitive::Text).size(), 1u);
    const Primitive t = canvas.of(Primitive::Text)[0];
    EXPECT_EQ(t.text, "No data to plot");
    EXPECT_EQ(t.a, (80 + 320 - 105) / 2);
    EXPECT_EQ(t.b, (240 + 60 - 13) / 2);
    EXPECT_EQ(t.c, t.a + 105);
    EXPECT_EQ(t.d, t.b + 13);
    EXPECT_EQ(canvas.of(Primitive::Line).size(), 2u);  // the axes only
    EXPECT_EQ(p.xMin, -3.0);
    EXPECT_TRUE(p.rangeStale);
  }
}

TEST(Plotter, AutoscaleIgnoresNaNAndRespectsFixedRanges) {
  Plotter p;
  p.addPoint(0.5, std::nan(""));
  p.addPoint(std::nan(""), 2);
  p.addPoint(-1, -3);
  p.addPoint(4, 1);
  p.rescale();
  EXPECT_EQ(p.xMin, -1);
  EXPECT_EQ(p.xMax, 4);
  EXPECT_TRUE(std::isnan(p.yMin));  // only the first value is taken unconditionally
  EXPECT_FALSE(p.rangeStale);
  EXPECT_EQ(p.xTickStep, 1.0);

  p.clear();
  p.autoScaleX = false;
  p.xMin = 0;
  p.xMax = 10;
  p.addPoint(2, 5);
  p.addPoint(3, 7);
  p.rescale();
  EXPECT_EQ(p.xMin, 0);
  EXPECT_EQ(p.xMax, 10);
  EXPECT_EQ(p.yMin, 5);
  EXPECT_EQ(p.yMax, 7);
  EXPECT_EQ(p.xTickStep, 2.0);
}

TEST(Plotter, HistogramBinning) {
  Plotter p;
  p.autoScaleX = false;
  p.xMin = 0;
  p.xMax = 1;
  p.numBins = 4;
  for (double x : {0.0, 0.25, 0.5, 1.0, -1.0, 2.0}) p.addPoint(x, 0);
  p.rebin();
  ASSERT_EQ(p.yValues.size(), 4u);
  // 0.25 lies on an edge and goes to the lower bin; -1 counts in bin 0; 2 is dropped.
  EXPECT_DOUBLE_EQ(p.yValues[0], 3 / (0.25 * 5));
  EXPECT_DOUBLE_EQ(p.yValues[1], 1 / (0.25 * 5));
  EXPECT_EQ(p.yValues[2], 0.0);
  EXPECT_DOUBLE_EQ(p.yValues[3], 1 / (0.25 * 5));
  double area = 0;
  for (double h : p.yValues) area += h * p.binWidth;
  EXPECT_DOUBLE_EQ(area, 1.0);
}

TEST(Plotter, HistogramBarsAreHollowFramesWithGaps) {
  FakeWindow window;
  RecordingCanvas canvas;
  Plotter p;
  p.histogramMode = true;
  p.numBins = 4;
  p.color = 0x00123456;
  for (double x : {0.1, 0.2, 0.3, 0.6, 0.9, 1.0}) p.addPoint(x, 0);
  p.draw(window, canvas);
  const auto frames = canvas.of(Primitive::Frame);
  ASSERT_EQ(frames.size(), 4u);
  const double bw = 240 * p.binWidth / (p.xMax - p.xMin);
  EXPECT_EQ(frames[0].a, 80);
  EXPECT_EQ(frames[0].c, 80 + static_cast<int>(bw) - 1);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(frames[i].a, frames[i - 1].c + 2);
  for (const Primitive& f : frames) {
    EXPECT_EQ(f.d, 240);
    EXPECT_EQ(f.brush, 0x00123456u);
  }
  EXPECT_EQ(frames[1].b, 240) << "the lowest bin has no height";
  EXPECT_EQ(canvas.brush, 0x00FFFFFFu) << "brush restored";
}

TEST(Plotter, ZeroWidthRangesNeitherDivideNorLoop) {
  FakeWindow window;
  RecordingCanvas canvas;
  Plotter p = line(0.5, 0.5, 1, 2);  // all x equal
  p.draw(window, canvas);
  EXPECT_TRUE(labelsUnder(canvas, 240).empty());
  EXPECT_FALSE(canvas.texts().empty());  // y ticks still drawn
  for (const Primitive& l : canvas.of(Primitive::Line)) EXPECT_NE(l.pen, 0x00FF0000u);
  PlotMapping m;
  p.getMapping(window, m);
  EXPECT_EQ(m.scaleX, 0.0);

  RecordingCanvas flat;
  Plotter q = line(0, 1, 3, 3);
  q.draw(window, flat);
  EXPECT_EQ(labelsUnder(flat, 240).size(), 6u);
  EXPECT_EQ(flat.texts().size(), 6u);

  // A step lost in rounding: t + step == t.
  RecordingCanvas huge;
  Plotter r = line(1e300, std::nextafter(1e300, 2e300), 0, 1);
  r.draw(window, huge);
  EXPECT_LE(labelsUnder(huge, 240).size(), 6u);
}

TEST(Pixel, ConversionSaturates) {
  EXPECT_EQ(toPixel(12.9), 12);
  EXPECT_EQ(toPixel(-12.9), -12);
  EXPECT_EQ(toPixel(std::numeric_limits<double>::infinity()), pixelLimit);
  EXPECT_EQ(toPixel(-std::numeric_limits<double>::infinity()), -pixelLimit);
  EXPECT_EQ(toPixel(1e300), pixelLimit);
  EXPECT_EQ(toPixel(-1e300), -pixelLimit);
  EXPECT_EQ(toPixel(std::nan("")), pixelLimit);
}

}  // namespace
