// The projector theme and the fixed vertical axis, through the session and
// a recording canvas: colours, dashes, margins, labels, the order darts and
// curve are drawn in, and the range held while stepping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/plot_theme.h"
#include "platform/picture_scale.h"
#include "resources/command_ids.h"
#include "studio/session.h"
#include "support/recording_canvas.h"

namespace {
constexpr Rect hall{0, 0, 1920, 1080};
constexpr Color lime = 0x0000FF00;
constexpr Color barEdge = 0x00D2AA82;  // the histogram's bars are outlined in it

RecordingCanvas painted(const Session& session) {
  RecordingCanvas canvas;
  paint(canvas, session.client(), session);
  return canvas;
}

std::vector<Primitive> linesIn(const RecordingCanvas& canvas, Color pen) {
  std::vector<Primitive> lines;
  for (const Primitive& p : canvas.of(Primitive::Line)) {
    if (p.pen == pen) lines.push_back(p);
  }
  return lines;
}

bool allIn(const std::vector<Primitive>& lines, PenStyle style) {
  return std::all_of(lines.begin(), lines.end(), [style](const Primitive& p) { return p.penStyle == style; });
}

// The y axis's labels: texts ending left of the frame, from the top down.
std::vector<double> yLabels(const RecordingCanvas& canvas, const Rect& frame) {
  std::vector<double> values;
  for (const Primitive& p : canvas.of(Primitive::Text)) {
    if (p.c <= frame.left && p.b >= frame.top - 13 && p.d <= frame.bottom + 13) values.push_back(std::stod(p.text));
  }
  return values;
}

// Ticks a step of 1, 2 or 5 times a power of ten apart, each a whole number of steps.
void expectRoundTicks(const std::vector<double>& values) {
  ASSERT_GE(values.size(), 3u);
  const double step = std::fabs(values[1] - values[0]);
  const double power = std::pow(10.0, std::floor(std::log10(step)));
  const double mantissa = std::round(step / power);
  EXPECT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 5) << step;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double steps = values[i] / step;
    EXPECT_NEAR(steps, std::round(steps), 1e-6) << values[i];
    if (i > 0) {
      EXPECT_NEAR(std::fabs(values[i] - values[i - 1]), step, step * 1e-6);
    }
  }
}

void moveToTheHall(Session& session) {
  session.resize(hall);
  session.apply(CommandId::projectorTheme);
}

TEST(ProjectorTheme, HullSolidAndSqueezeDashedInColoursWithoutLimeForEveryKindOfDensity) {
  const ThemeLook& look = themeLook(PlotTheme::projector);
  for (const bool typed : {false, true}) {
    Session session;
    moveToTheHall(session);
    if (typed) {
      ASSERT_FALSE(session.openLessonText(R"j({"density": "exp(-x^2/2)", "lower": "-inf", "upper": "inf"})j").question);
    }
    session.apply(CommandId::startStepping);
    session.apply(CommandId::nextStep);
    const RecordingCanvas canvas = painted(session);
    const std::vector<Primitive> hull = linesIn(canvas, look.upperHull);
    const std::vector<Primitive> squeeze = linesIn(canvas, look.squeeze);
    ASSERT_FALSE(hull.empty()) << typed;
    ASSERT_FALSE(squeeze.empty()) << typed;
    EXPECT_TRUE(allIn(hull, PenStyle::solid)) << typed;
    EXPECT_TRUE(allIn(squeeze, PenStyle::dashed)) << typed;
    // Only the squeeze is dashed, and the style is solid again afterwards.
    EXPECT_EQ(canvas.penStyle, PenStyle::solid);
    EXPECT_EQ(std::count_if(canvas.log.begin(), canvas.log.end(),
                            [](const Primitive& p) { return p.kind == Primitive::Line && p.penStyle == PenStyle::dashed; }),
              static_cast<long>(squeeze.size()));
    for (const Primitive& p : canvas.log) {
      EXPECT_NE(p.pen, lime);
      EXPECT_NE(p.brush, lime);
    }
    // Lines thicker than the classic picture's at the same size.
    EXPECT_GT(hull.front().penWidth, scaledPixels(1, pictureScale(session.client())));
  }
  // The classic theme is back as it was: a solid lime squeeze.
  Session classic;
  classic.apply(CommandId::startStepping);
  const std::vector<Primitive> squeeze = linesIn(painted(classic), lime);
  ASSERT_FALSE(squeeze.empty());
  EXPECT_TRUE(allIn(squeeze, PenStyle::solid));
}

TEST(ProjectorTheme, ThePlotFillsTheHallWithRoundYLabelsOnEveryScale) {
  Session session;
  moveToTheHall(session);
  const Rect& frame = session.layout().frame;
  EXPECT_LE(frame.left, 0.08 * 1920);
  EXPECT_GE(frame.right, 0.92 * 1920);
  EXPECT_LE(frame.top, 0.08 * 1080);
  EXPECT_GE(frame.bottom, 0.92 * 1080);

  for (const int scale : {CommandId::normalScale, CommandId::logScale}) {
    session.apply(scale);
    const RecordingCanvas canvas = painted(session);
    const std::vector<double> labels = yLabels(canvas, session.layout().frame);
    expectRoundTicks(labels);
    // The normal scale's heights read as shares of the peak, up to 1.
    if (scale == CommandId::normalScale) {
      ASSERT_FALSE(labels.empty());
      EXPECT_EQ(*std::max_element(labels.begin(), labels.end()), 1.0);
    }
    // Labels, axis and caption keep apart: the caption is the lowest text and inside the window.
    const std::vector<Primitive> texts = canvas.of(Primitive::Text);
    const auto caption = std::max_element(texts.begin(), texts.end(),
                                          [](const Primitive& a, const Primitive& b) { return a.b < b.b; });
    for (const Primitive& t : texts) {
      if (&t != &*caption) {
        EXPECT_LE(t.d, caption->b) << t.text;
      }
    }
    EXPECT_LE(caption->d, hall.bottom);
  }
  // The T scale of a density sampled under -1/sqrt(f).
  ASSERT_FALSE(session
                   .openLessonText(R"j({"density": "(1+x^2/3)^(-2)", "lower": "-inf", "upper": "inf",
                                       "transform": "inverse-sqrt", "tScale": true})j")
                   .question);
  ASSERT_TRUE(session.model().curve.tScale);
  expectRoundTicks(yLabels(painted(session), session.layout().frame));
}

TEST(ProjectorTheme, DartsLieOverTheHistogramAndUnderTheCurveInSmallDots) {
  Session session;
  moveToTheHall(session);
  session.apply(CommandId::largerPoints);
  session.apply(CommandId::histogram);
  session.apply(CommandId::throwDarts);
  const ThemeLook& look = themeLook(PlotTheme::projector);
  const RecordingCanvas canvas = painted(session);
  int lastBar = -1;
  int firstDart = -1;
  int lastDart = -1;
  int lastCurve = -1;
  for (int i = 0; i < static_cast<int>(canvas.log.size()); ++i) {
    const Primitive& p = canvas.log[i];
    if (p.kind == Primitive::Ellipse && p.brush == look.darts) {
      if (firstDart < 0) firstDart = i;
      lastDart = i;
      EXPECT_LE(p.c - p.a, 7);
    }
    if (p.kind == Primitive::Line && p.pen == look.curve) lastCurve = i;
    if (p.kind == Primitive::Line && p.pen == barEdge) lastBar = i;
  }
  ASSERT_GE(firstDart, 0);
  EXPECT_LT(lastBar, firstDart);
  EXPECT_GT(lastCurve, lastDart);
  EXPECT_EQ(static_cast<std::size_t>(std::count_if(canvas.log.begin(), canvas.log.end(),
                                                   [&look](const Primitive& p) {
                                                     return p.kind == Primitive::Ellipse && p.brush == look.darts;
                                                   })),
            session.model().darts.x.size());
}

TEST(ProjectorTheme, TheLegendShowsTheThemesColoursAndADashedSqueeze) {
  Session session;
  session.apply(CommandId::startStepping);
  const Effects effects = session.apply(CommandId::projectorTheme);
  ASSERT_TRUE(effects.repaint);
  EXPECT_TRUE(effects.viewChanged);
  const auto squeeze = std::find_if(effects.legend.begin(), effects.legend.end(),
                                    [](const LegendEntry& e) { return std::string(e.name) == "squeeze"; });
  ASSERT_NE(squeeze, effects.legend.end());
  EXPECT_EQ(squeeze->swatch, LegendSwatch::DashedLine);
  EXPECT_EQ(squeeze->color, themeLook(PlotTheme::projector).squeeze);
  // Turning the theme on leaves the stepping where it was.
  EXPECT_TRUE(session.model().stepping.active);
}

TEST(ProjectorTheme, ALessonSetsItAndTheWindowsLessonSavesIt) {
  Session session;
  ASSERT_FALSE(session.openLessonText(R"j({"builtin": "beta-2-3", "theme": "projector", "fixedAxis": true})j").question);
  EXPECT_EQ(session.model().view.theme, PlotTheme::projector);
  EXPECT_TRUE(session.model().view.fixedAxis);
  const std::string text = session.lessonText();
  EXPECT_NE(text.find("\"theme\": \"projector\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"fixedAxis\": true"), std::string::npos) << text;
  ASSERT_FALSE(session.openLessonText(R"j({"builtin": "beta-2-3", "theme": "classic"})j").question);
  EXPECT_EQ(session.model().view.theme, PlotTheme::classic);
}

double topOfRange(const Session& session) { return session.layout().ranges.yMax; }

TEST(FixedVerticalAxis, HoldsTheRangeThroughEveryBeatUntilTheCurveOrTheSizeChanges) {
  Session session;
  session.apply(CommandId::wholeEnvelope);
  session.apply(CommandId::twoBeats);
  session.apply(CommandId::startStepping);
  // Without it the top follows the hull down beat by beat.
  std::vector<double> tops{topOfRange(session)};
  for (int beat = 0; beat < 8; ++beat) {
    session.apply(CommandId::nextStep);
    tops.push_back(topOfRange(session));
  }
  ASSERT_NE(*std::min_element(tops.begin(), tops.end()), tops.front());

  session.apply(CommandId::fixedVerticalAxis);
  session.apply(CommandId::startStepping);
  const double held = topOfRange(session);
  EXPECT_EQ(held, tops.front());
  EXPECT_TRUE(session.layout().yTicks);
  for (int beat = 0; beat < 8; ++beat) {
    session.apply(CommandId::nextStep);
    EXPECT_EQ(topOfRange(session), held) << beat;
  }
  // Stepping back holds it too.
  session.apply(CommandId::stepBack);
  EXPECT_EQ(topOfRange(session), held);

  // A new size, a new scale and a new density each release it: the range is the one laid out afresh.
  const auto fresh = [&session] { return layoutPlot(session.model(), session.client()).ranges.yMax; };
  session.resize({0, 0, 800, 600});
  EXPECT_EQ(topOfRange(session), fresh());
  EXPECT_NE(topOfRange(session), held);
  session.apply(CommandId::logScale);
  EXPECT_EQ(topOfRange(session), fresh());
  session.apply(CommandId::startStepping);
  const double logHeld = topOfRange(session);
  session.apply(CommandId::firstDensity + 3);
  EXPECT_EQ(topOfRange(session), fresh());
  EXPECT_NE(topOfRange(session), logHeld);
  // Turned off, the top follows the picture again.
  session.apply(CommandId::fixedVerticalAxis);
  EXPECT_EQ(session.hold(), nullptr);
}

TEST(FixedVerticalAxis, TurnedOnWhileSteppingHoldsTheRangeThen) {
  Session session;
  session.apply(CommandId::wholeEnvelope);
  session.apply(CommandId::startStepping);
  session.apply(CommandId::nextStep);
  const double now = topOfRange(session);
  session.apply(CommandId::fixedVerticalAxis);
  EXPECT_EQ(topOfRange(session), now);
  for (int step = 0; step < 5; ++step) session.apply(CommandId::nextStep);
  EXPECT_EQ(topOfRange(session), now);
}
}  // namespace
