// The picture as it grows with the window: pens, dots, ticks and text scaled
// by one factor, never below 1; the candidate marked at the frame's edge;
// the proof drawn over the envelope; axis titles only where there is room.
#include <gtest/gtest.h>

#include <algorithm>

#include "frontends/qt/main_window.h"
#include "display/plot_layout.h"
#include "platform/picture_scale.h"
#include "display/plot_colors.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

struct Rig {
  explicit Rig(int width = 400, int height = 300) : window(width, height) {
    window.setUserData(&app);
    app.attach(window);
  }
  RecordingCanvas paintAfter(std::initializer_list<int> ids) {
    for (int id : ids) app.command(id);
    RecordingCanvas canvas;
    app.paint(canvas);
    return canvas;
  }
  FakeWindow window;
  MainWindow app;
};

std::vector<Primitive> ellipsesIn(const RecordingCanvas& c, Color brush) {
  std::vector<Primitive> result;
  for (const Primitive& e : c.of(Primitive::Ellipse))
    if (e.brush == brush) result.push_back(e);
  return result;
}

bool hasText(const RecordingCanvas& c, const std::string& text) {
  const std::vector<std::string> texts = c.texts();
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(PictureScale, OneFactorFromTheClientSizeNeverBelowOne) {
  EXPECT_EQ(pictureScale(Rect{0, 0, 400, 300}), 1.0);
  EXPECT_EQ(pictureScale(Rect{0, 0, 320, 240}), 1.0);
  EXPECT_EQ(pictureScale(Rect{0, 0, 1600, 300}), 1.0);
  EXPECT_DOUBLE_EQ(pictureScale(Rect{0, 0, 1600, 1000}), 1000.0 / 300.0);
  EXPECT_EQ(scaledPixels(4, 1.0), 4);
  EXPECT_EQ(scaledPixels(4, 1000.0 / 300.0), 13);
}

TEST(ScaledPicture, PensDotsTicksAndTextGrowAtSixteenHundredByAThousand) {
  const double scale = 1000.0 / 300.0;
  Rig small;
  Rig large(1600, 1000);
  const RecordingCanvas before = small.paintAfter({134});
  const RecordingCanvas after = large.paintAfter({134});
  for (const Primitive& p : before.log) {
    EXPECT_EQ(p.penWidth, 1);
    EXPECT_EQ(p.textScale, 1.0);
  }
  for (const Primitive& p : after.of(Primitive::Line)) EXPECT_GE(p.penWidth, 3);
  for (const Primitive& p : after.of(Primitive::Text)) EXPECT_DOUBLE_EQ(p.textScale, scale);
  // The points: 4 pixels across by default, 14 here.
  for (const Primitive& e : ellipsesIn(before, PlotColor::points)) EXPECT_EQ(e.c - e.a, 4);
  const std::vector<Primitive> dots = ellipsesIn(after, PlotColor::points);
  ASSERT_EQ(dots.size(), large.app.model().sampler.points.size());
  for (const Primitive& e : dots) EXPECT_EQ(e.c - e.a, 14);
  // The first x tick reaches 2 pixels either side of the axis by default, 7 here.
  const Rect frame = layoutPlot(large.app.model(), large.window.clientRect()).frame;
  bool longTick = false;
  for (std::size_t i = 1; i < after.log.size(); ++i) {
    const Primitive& move = after.log[i - 1];
    const Primitive& line = after.log[i];
    if (move.kind == Primitive::Move && line.kind == Primitive::Line && move.a == line.a &&
        move.b == frame.bottom - 1 - 7 && line.b == frame.bottom - 1 + 7) {
      longTick = true;
    }
  }
  EXPECT_TRUE(longTick);
  // Titles where there is room, never at the opening size.
  EXPECT_TRUE(hasText(after, "x"));
  EXPECT_TRUE(hasText(after, "density"));
  EXPECT_FALSE(hasText(before, "x"));
  EXPECT_FALSE(hasText(before, "density"));
  large.app.command(CommandId::logScale);
  RecordingCanvas log;
  large.app.paint(log);
  EXPECT_TRUE(hasText(log, "log density + constant"));
}

TEST(CandidateMarker, ACandidateAboveTheFrameIsMarkedAtItsTopEdge) {
  // Beta(2,3): the first candidate lands far above the plotted range.
  Rig rig;
  const RecordingCanvas canvas = rig.paintAfter({121, 134, 135});
  const Rect frame = layoutPlot(rig.app.model(), rig.window.clientRect()).frame;
  const std::vector<Primitive> red = ellipsesIn(canvas, PlotColor::candidate);
  ASSERT_EQ(red.size(), 2u);  // the candidate itself (clipped away), then its marker
  const Primitive& marker = red.back();
  EXPECT_GE(marker.b, frame.top);
  EXPECT_LT(marker.b, frame.top + 20);
  const int centre = (marker.a + marker.c) / 2;
  const PlotMapping mapping = layoutPlot(rig.app.model(), rig.window.clientRect()).mapping;
  EXPECT_NEAR(centre, wholePixelX(mapping, rig.app.model().sampler.lastX), 1);
  EXPECT_NE(rig.window.statusText.find("Candidate above the plot"), std::string::npos) << rig.window.statusText;
  // A candidate inside the frame gets no marker and no note.
  Rig inside;
  const RecordingCanvas later = inside.paintAfter({121, 134, 135, 135, 135, 135, 135, 135});
  if (inside.window.statusText.find("Candidate") == std::string::npos) {
    EXPECT_EQ(ellipsesIn(later, PlotColor::candidate).size(), 1u);
  }
}

TEST(ProofDrawing, TheTestDensitysReportLeavesEnvelopeAndHighlightDrawn) {
  Rig rig;
  rig.paintAfter({126, 134, 135, 135, 135, 135, 135});
  ASSERT_FALSE(rig.app.model().stepping.active);
  ASSERT_TRUE(rig.app.model().stepping.proof.has_value());
  const RecordingCanvas canvas = rig.paintAfter({CommandId::logScale});
  EXPECT_EQ(ellipsesIn(canvas, PlotColor::points).size(), rig.app.model().sampler.points.size());
  EXPECT_EQ(ellipsesIn(canvas, PlotColor::proof).size(), 3u);
  const auto lines = canvas.of(Primitive::Line);
  EXPECT_GT(std::count_if(lines.begin(), lines.end(), [](const Primitive& p) { return p.pen == PlotColor::upperHull; }), 0);
  EXPECT_GE(std::count_if(lines.begin(), lines.end(), [](const Primitive& p) { return p.pen == PlotColor::proof; }), 2);
  // The next start draws no proof.
  const RecordingCanvas after = rig.paintAfter({CommandId::startStepping});
  EXPECT_TRUE(ellipsesIn(after, PlotColor::proof).empty());
}

// On both scales a panel zooms in on the point below the chord: the gap,
// flat on the normal scale and under a pixel on the log scale, takes a good
// part of the panel's height, and the panel covers none of the proof's rings.
TEST(ProofDrawing, ThePanelShowsTheGapAndLeavesTheRingsInView) {
  for (int scale : {111, 112}) {
    SCOPED_TRACE(scale);
    Rig rig(1280, 800);
    const RecordingCanvas canvas = rig.paintAfter({126, scale, 134, 135, 135, 135, 135, 135});
    ASSERT_TRUE(rig.app.model().stepping.proof.has_value());
    const Rect frame = layoutPlot(rig.app.model(), rig.window.clientRect()).frame;
    std::vector<Primitive> panels;
    for (const Primitive& f : canvas.of(Primitive::Frame))
      if (f.a > frame.left && f.c < frame.right && f.b > frame.top && f.d < frame.bottom) panels.push_back(f);
    ASSERT_EQ(panels.size(), 1u);
    const Primitive panel = panels[0];
    for (const Primitive& ring : ellipsesIn(canvas, PlotColor::proof)) {
      const int x = (ring.a + ring.c) / 2, y = (ring.b + ring.d) / 2;
      EXPECT_FALSE(x > panel.a && x < panel.c && y > panel.b && y < panel.d) << x << "," << y;
    }
    // The gap: a magenta vertical line in the panel, drawn from the point up.
    int gap = 0;
    for (std::size_t i = 1; i < canvas.log.size(); ++i) {
      const Primitive& from = canvas.log[i - 1];
      const Primitive& to = canvas.log[i];
      if (from.kind == Primitive::Move && to.kind == Primitive::Line && to.pen == PlotColor::proof &&
          from.a == to.a && from.a > panel.a && from.a < panel.c && from.b > panel.b && from.b < panel.d) {
        gap = std::max(gap, from.b - to.b);
      }
    }
    EXPECT_GT(gap, (panel.d - panel.b) / 4);
  }
  // Without a proof there is no panel.
  Rig plain(1280, 800);
  EXPECT_TRUE(plain.paintAfter({126, 134, 135}).of(Primitive::Frame).empty());
}

}  // namespace
