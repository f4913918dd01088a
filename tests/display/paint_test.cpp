#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "frontends/qt/main_window.h"
#include "studio/window_picture.h"
#include "display/pixel.h"
#include "display/plot_layout.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

constexpr Color red = 0x000000FF;
constexpr Color green = 0x0000FF00;
constexpr Color blue = 0x00FF0000;
constexpr Color black = 0x00000000;

struct PaintRig {
  PaintRig() { app.attach(window); }
  RecordingCanvas paint() {
    RecordingCanvas canvas;
    app.paint(canvas);
    return canvas;
  }
  FakeWindow window;
  MainWindow app;
};

std::vector<Primitive> ellipses(const RecordingCanvas& c, int size, Color brush) {
  std::vector<Primitive> result;
  for (const Primitive& e : c.of(Primitive::Ellipse)) {
    if (e.c - e.a == size && e.d - e.b == size && e.brush == brush) result.push_back(e);
  }
  return result;
}

int linesIn(const RecordingCanvas& c, Color pen) {
  return static_cast<int>(std::count_if(c.log.begin(), c.log.end(), [pen](const Primitive& p) {
    return p.kind == Primitive::Line && p.pen == pen;
  }));
}

TEST(Paint, CaptionPerKindInRedNearTheBottom) {
  PaintRig rig;
  const char* captions[] = {"Beta distribution: alpha = 2.000, beta = 3.000",
                            "Beta distribution: alpha = 0.500, beta = 2.000",
                            "Gamma distribution: alpha = 1.000, beta = 1.000",
                            "Gamma distribution: alpha = 10.000, beta = 0.100",
                            "Gamma distribution: alpha = 0.500, beta = 2.000", "Test density"};
  for (int kind = 1; kind <= 6; ++kind) {
    rig.app.command(120 + kind);
    const RecordingCanvas c = rig.paint();
    const Primitive caption = c.of(Primitive::Text).front();
    EXPECT_EQ(caption.text, captions[kind - 1]);
    EXPECT_EQ(caption.textColor, red);
    EXPECT_EQ(caption.format, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    EXPECT_EQ(caption.a, 0);
    EXPECT_EQ(caption.c, 400);
    EXPECT_EQ(caption.b, 300 - 19);
    EXPECT_EQ(caption.d, 300 - 6);
    EXPECT_EQ(c.textColor, black);
    EXPECT_EQ(c.of(Primitive::Text)[1].textColor, black) << "labels in black";
  }
}

TEST(Paint, StartUpPictureIsCaptionCurveAndXLabelsOnly) {
  PaintRig rig;
  const RecordingCanvas c = rig.paint();
  EXPECT_EQ(linesIn(c, blue), 98);  // 99 curve points
  EXPECT_EQ(c.texts().size(), 1u + 6u);
  EXPECT_TRUE(c.of(Primitive::Ellipse).empty());
  EXPECT_EQ(c.pen, black);
  EXPECT_EQ(c.brush, 0x00FFFFFFu);
}

TEST(Paint, DartsOnlyWhenNotStepping) {
  PaintRig rig;
  rig.app.command(133);
  const RecordingCanvas thrown = rig.paint();
  const auto darts = ellipses(thrown, 2, red);
  EXPECT_EQ(darts.size(), 5000u);
  for (const Primitive& d : darts) EXPECT_EQ(d.pen, red);
  // Under the curve's frame: between the axes.
  for (const Primitive& d : darts) {
    EXPECT_GE(d.a + 1, 80);
    EXPECT_LE(d.a + 1, 320);
    EXPECT_LE(d.b + 1, 240);
  }

  rig.app.command(134);
  const RecordingCanvas stepping = rig.paint();
  EXPECT_TRUE(ellipses(stepping, 2, red).empty());
  EXPECT_EQ(rig.app.model().darts.x.size(), 5000u);

  // Unequal lengths (never produced by the commands): only the common prefix.
  WindowModel model;
  model.darts.thrown = true;
  model.darts.x = {0.5, 0.6, 0.7};
  model.darts.y = {1e21};
  RecordingCanvas unequal;
  paintWindow(unequal, layoutPlot(model, rig.window.clientRect()), model);
  EXPECT_EQ(ellipses(unequal, 2, red).size(), 1u);
}

TEST(Paint, EnvelopeAfterStartAndAfterAStep) {
  PaintRig rig;
  rig.app.command(134);
  const RecordingCanvas start = rig.paint();
  EXPECT_EQ(ellipses(start, 4, black).size(), 3u);
  EXPECT_TRUE(ellipses(start, 8, red).empty()) << "no candidate before the first step";
  EXPECT_GT(linesIn(start, red), 50);    // hull, polylines on the normal scale
  EXPECT_GT(linesIn(start, green), 50);  // squeeze

  // The squeeze starts with its left wall up from the x axis.
  const auto& log = start.log;
  const auto firstGreen = std::find_if(log.begin(), log.end(), [](const Primitive& p) {
    return p.pen == green;
  });
  ASSERT_NE(firstGreen, log.end());
  EXPECT_EQ(firstGreen->kind, Primitive::Move);
  EXPECT_EQ(firstGreen->b, 240);
  EXPECT_EQ((firstGreen + 1)->a, firstGreen->a);
  // ... and ends with the right wall down to it.
  const auto lastGreen = std::find_if(log.rbegin(), log.rend(), [](const Primitive& p) {
    return p.pen == green;
  });
  EXPECT_EQ(lastGreen->kind, Primitive::Line);
  EXPECT_EQ(lastGreen->b, 240);

  rig.app.command(135);
  const RecordingCanvas stepped = rig.paint();
  EXPECT_EQ(ellipses(stepped, 4, black).size(), 4u) << "the rejected candidate joined";
  const auto candidate = ellipses(stepped, 8, red);
  // The candidate lies above the frame: the dot (clipped) and its marker at the edge.
  ASSERT_EQ(candidate.size(), 2u);
  EXPECT_EQ(candidate[0].pen, black);
  EXPECT_EQ(stepped.pen, black);
  EXPECT_EQ(stepped.brush, 0x00FFFFFFu);
}

TEST(Paint, LogScaleEnvelopeIsOneLinePerPiece) {
  PaintRig rig;
  rig.app.command(112);
  rig.app.command(134);
  const RecordingCanvas c = rig.paint();
  // 4 segments: 4 pieces plus the two joins at the outer points.
  EXPECT_EQ(linesIn(c, red), 6);
  // 2 chords plus the two walls.
  EXPECT_EQ(linesIn(c, green), 4);
}

TEST(Paint, RepaintWithoutEnvelopeWhileStepping) {
  // A repaint behind the log-concavity box finds stepping set and no segments.
  FakeWindow window;
  WindowModel model;
  model.stepping.active = true;
  RecordingCanvas c;
  paintWindow(c, layoutPlot(model, window.clientRect()), model);
  EXPECT_EQ(linesIn(c, green), 0);
  EXPECT_EQ(linesIn(c, red), 0);
}

TEST(Paint, InfiniteHullHeightsSaturate) {
  // The test density's first envelope reaches log values near 36,800: on the
  // normal scale the hull is infinitely high and must run off the top.
  PaintRig rig;
  rig.app.command(126);
  rig.app.command(134);
  ASSERT_TRUE(rig.app.model().stepping.active);
  const RecordingCanvas c = rig.paint();
  bool offTop = false;
  for (const Primitive& p : c.log) {
    EXPECT_LE(std::abs(p.a), pixelLimit);
    EXPECT_LE(std::abs(p.b), pixelLimit);
    offTop = offTop || (p.pen == red && p.b == -pixelLimit);
  }
  EXPECT_TRUE(offTop);
}

TEST(Paint, EmptyClientAreaPaintsNothing) {
  PaintRig rig;
  rig.app.command(133);
  for (auto [w, h] : {std::pair{0, 0}, std::pair{400, 0}, std::pair{0, 300}}) {
    rig.window.width = w;
    rig.window.height = h;
    EXPECT_TRUE(rig.paint().log.empty());
  }
  rig.window.width = 3;
  rig.window.height = 2;
  EXPECT_FALSE(rig.paint().log.empty());
}

}  // namespace
