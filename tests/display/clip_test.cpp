// The data stay inside the plot frame: every curve, dart, point, candidate
// and envelope primitive is drawn under a clip box that keeps clear of the
// tick labels and the caption, and the axes are drawn over the data.
#include <gtest/gtest.h>

#include "frontends/qt/main_window.h"
#include "display/plot_layout.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {

constexpr Color black = 0x00000000;

bool overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void expectDataClipped(MainWindow& app, const FakeWindow& window, const char* what) {
  SCOPED_TRACE(what);
  RecordingCanvas canvas;
  app.paint(canvas);
  const Rect frame = layoutPlot(app.model(), window.clientRect()).frame;
  const int slack = app.model().view.largerPoints ? 8 : 4;
  const Rect allowed{frame.left - slack, frame.top - slack, frame.right + slack, frame.bottom + slack};
  std::vector<Rect> texts;
  for (const Primitive& t : canvas.of(Primitive::Text)) texts.push_back({t.a, t.b, t.c, t.d});
  ASSERT_FALSE(texts.empty());
  int data = 0;
  for (const Primitive& p : canvas.log) {
    const bool isData = p.kind == Primitive::Ellipse || (p.kind == Primitive::Line && p.pen != black);
    if (!isData) continue;
    ++data;
    ASSERT_TRUE(p.clipped) << "primitive " << data;
    ASSERT_TRUE(inside(p.clip, allowed));
    for (const Rect& text : texts) ASSERT_FALSE(overlaps(p.clip, text));
  }
  EXPECT_GT(data, 10);
  EXPECT_FALSE(canvas.clipped);  // lifted again at the end
  // The last lines drawn are the black axes and ticks.
  const Primitive& last = canvas.log.back();
  EXPECT_EQ(last.kind, Primitive::Line);
  EXPECT_EQ(last.pen, black);
  EXPECT_FALSE(last.clipped);
}

TEST(Clipping, ThrowsAndSteppingOnBothScalesStayInTheFrame) {
  for (int kind : {1, 4, 6}) {
    for (int scale : {111, 112}) {
      FakeWindow window;
      MainWindow app;
      app.attach(window);
      SCOPED_TRACE(testing::Message() << "kind " << kind << " scale " << scale);
      app.command(120 + kind);
      app.command(scale);
      app.command(133);
      expectDataClipped(app, window, "throw");
      app.command(134);
      expectDataClipped(app, window, "start stepping");
      for (int i = 0; i < 5; ++i) app.command(135);
      expectDataClipped(app, window, "five steps");
      app.command(CommandId::largerPoints);
      expectDataClipped(app, window, "larger points");
    }
  }
}

TEST(Clipping, HullAndSqueezeEndAtTheFrameOnAProjector) {
  FakeWindow window(1600, 1000);
  MainWindow app;
  app.attach(window);
  for (int id : {112, 134, 135, 135}) app.command(id);
  RecordingCanvas canvas;
  app.paint(canvas);
  const Rect frame = layoutPlot(app.model(), window.clientRect()).frame;
  // The hull in red, then the squeeze in green (the candidate's marker, red too, follows).
  const std::vector<Primitive> lines = canvas.of(Primitive::Line);
  std::size_t end = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) if (lines[i].pen == 0x0000FF00) end = i + 1;
  int envelope = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (lines[i].pen != 0x000000FF && lines[i].pen != 0x0000FF00) continue;
    ++envelope;
    ASSERT_TRUE(lines[i].clipped);
    EXPECT_TRUE(inside(lines[i].clip, frame));
  }
  EXPECT_GT(envelope, 5);
}

TEST(Clipping, NothingToClipAtStartUp) {
  FakeWindow window;
  MainWindow app;
  app.attach(window);
  RecordingCanvas canvas;
  app.paint(canvas);
  // The curve alone, clipped to the frame itself.
  const Rect frame = layoutPlot(app.model(), window.clientRect()).frame;
  for (const Primitive& p : canvas.log) {
    if (p.kind == Primitive::Line && p.pen != black) {
      ASSERT_TRUE(p.clipped);
      EXPECT_TRUE(inside(p.clip, frame));
    }
  }
  EXPECT_EQ(canvas.clipChanges, 2);  // set and lifted once
}

}  // namespace
