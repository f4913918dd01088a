// The plot's layout: a function of the model and the client area alone,
// the one the picture draws and the status line reads.
#include <gtest/gtest.h>

#include <string>

#include "frontends/qt/main_window.h"
#include "studio/status_line.h"
#include "studio/window_picture.h"
#include "display/plot_layout.h"
#include "model/window_model.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

const Rect client{0, 0, 400, 300};

bool samePrimitives(const RecordingCanvas& a, const RecordingCanvas& b) {
  if (a.log.size() != b.log.size()) return false;
  for (std::size_t i = 0; i < a.log.size(); ++i) {
    const Primitive& p = a.log[i];
    const Primitive& q = b.log[i];
    if (p.kind != q.kind || p.a != q.a || p.b != q.b || p.c != q.c || p.d != q.d || p.pen != q.pen ||
        p.brush != q.brush || p.text != q.text) {
      return false;
    }
  }
  return true;
}

void expectSameLayout(const PlotLayout& a, const PlotLayout& b) {
  EXPECT_EQ(a.curveShown, b.curveShown);
  EXPECT_EQ(a.ranges.xMin, b.ranges.xMin);
  EXPECT_EQ(a.ranges.xMax, b.ranges.xMax);
  EXPECT_EQ(a.ranges.yMin, b.ranges.yMin);
  EXPECT_EQ(a.ranges.yMax, b.ranges.yMax);
  EXPECT_EQ(a.yTicks, b.yTicks);
  EXPECT_EQ(a.mapping.scaleY, b.mapping.scaleY);
}

TEST(PlotLayout, ThePictureIsAFunctionOfTheModelAndTheClientArea) {
  // A model never shown in a window paints as the window paints it: no
  // range or tick setting is left behind by an earlier paint.
  WindowModel model;
  RecordingCanvas direct;
  paintWindow(direct, layoutPlot(model, client), model);
  MainWindow app;
  FakeWindow window;
  app.attach(window);
  RecordingCanvas shown;
  app.paint(shown);
  EXPECT_TRUE(samePrimitives(direct, shown));
  EXPECT_EQ(direct.texts().size(), 1u + 6u) << "caption and x labels, no y labels on the normal scale";

  // Back from the log scale, the layout is the opening one again.
  app.command(CommandId::logScale);
  const PlotLayout log = layoutPlot(app.model(), client);
  EXPECT_TRUE(log.yTicks);
  EXPECT_EQ(log.ranges.xMin, app.model().curve.xValues.front());
  app.command(CommandId::normalScale);
  expectSameLayout(layoutPlot(app.model(), client), layoutPlot(model, client));
}

TEST(PlotLayout, TheFrameAndMappingAreWhereTheAxesAndCurveAreDrawn) {
  for (const Rect area : {Rect{0, 0, 400, 300}, Rect{0, 0, 1000, 700}}) {
    WindowModel model;
    const PlotLayout layout = layoutPlot(model, area);
    EXPECT_EQ(layout.frame.left, area.right / 5);
    EXPECT_EQ(layout.frame.bottom - 1, area.bottom - area.bottom / 5);
    RecordingCanvas canvas;
    paintWindow(canvas, layout, model);
    // The x axis runs along the frame's bottom from its left.
    const std::vector<Primitive> moves = canvas.of(Primitive::Move);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.front().a, layout.frame.left);
    EXPECT_EQ(moves.front().b, layout.frame.bottom - 1);
    // The curve's peak, at the top of the range, touches the frame's top.
    EXPECT_EQ(wholePixelY(layout.mapping, layout.ranges.yMax), layout.frame.top);
  }
}

TEST(PlotLayout, TheStatusLinePlacesTheCandidateInTheWholeEnvelopesRange) {
  // The third candidate of the Beta(2, 3) lies above the curve's range: the
  // status line says so, until the whole envelope's range holds it.
  MainWindow app;
  FakeWindow window;
  app.attach(window);
  app.command(CommandId::startStepping);
  for (int step = 0; step < 3; ++step) app.command(CommandId::nextStep);
  const PlotLayout curveOnly = layoutPlot(app.model(), client);
  EXPECT_NE(statusLine(app.model(), &curveOnly).find("Candidate above the plot"), std::string::npos);
  EXPECT_EQ(statusLine(app.model(), nullptr).find("Candidate"), std::string::npos) << "no layout, no place";

  app.command(CommandId::wholeEnvelope);
  const PlotLayout whole = layoutPlot(app.model(), client);
  EXPECT_GT(whole.ranges.yMax, curveOnly.ranges.yMax);
  EXPECT_EQ(whole.mapping.scaleY, (whole.frame.bottom - 1 - whole.frame.top) / (whole.ranges.yMax - whole.ranges.yMin));
  const std::string text = statusLine(app.model(), &whole);
  EXPECT_EQ(text, window.statusText);
  EXPECT_EQ(text.find("Candidate above the plot"), std::string::npos) << text;
}

}  // namespace
