// Densities beyond the built-in kinds in the window: typed formulas and
// catalogue entries sampled through the window's own commands, the refusals,
// the histogram and plain rejection.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "frontends/qt/main_window.h"
#include "model/other_density.h"
#include "density/catalogue.h"
#include "display/histogram.h"
#include "display/plot_colors.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"
#include "support/goodness_of_fit.h"
#include "support/recording_canvas.h"
#include "support/window_rig.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

using Rig = WindowRig;

// Two throws of darts in a row: 10,000 draws, enough for the test's power.
std::vector<double> twoThrows(MainWindow& app) {
  app.command(CommandId::throwDarts);
  std::vector<double> darts = app.model().darts.x;
  app.command(CommandId::throwDarts);
  darts.insert(darts.end(), app.model().darts.x.begin(), app.model().darts.x.end());
  return darts;
}

bool passes(const std::vector<double>& xs, const std::function<double(double)>& cdf) {
  const int bins = equalProbabilityBins(xs.size());
  return chiSquare(xs, cdf, bins) < chiSquareQuantile(bins - 1, chiSquareZ);
}

TEST(OtherDensity, TypedFormulaDartsFollowTheDensityOnBothScales) {
  for (const bool log : {false, true}) {
    Rig rig;
    rig.app.command(log ? CommandId::logScale : CommandId::normalScale);
    ASSERT_EQ(rig.app.selectOtherDensity({"", "exp(-x^2/2)/(1+x^2)", false, -inf, inf}), "");
    EXPECT_EQ(rig.app.model().density.kind, otherDensityKind);
    // The plotted range: the tails beyond hold about 1e-4 each.
    EXPECT_NEAR(rig.app.model().curve.xMax, 3.3, 0.3);
    EXPECT_NEAR(rig.app.model().curve.xMin, -rig.app.model().curve.xMax, 0.05);
    const std::vector<double> darts = twoThrows(rig.app);
    ASSERT_EQ(darts.size(), 10000u);
    EXPECT_TRUE(rig.window.boxes.empty());
    const NumericCdf cdf([](double x) { return -x * x / 2 - std::log1p(x * x); }, -12, 12);
    EXPECT_TRUE(passes(darts, cdf));
    // Every dart lies under the curve at its own abscissa, on the curve's scale.
    const DartsState& d = rig.app.model().darts;
    const double offset = rig.app.model().curve.logOffset;
    for (std::size_t i = 0; i < d.x.size(); ++i) {
      const double h = -d.x[i] * d.x[i] / 2 - std::log1p(d.x[i] * d.x[i]) + offset;
      EXPECT_LE(d.y[i], log ? h + 1e-9 : std::exp(h) * (1 + 1e-9));
    }
  }
}

TEST(OtherDensity, CatalogueEntriesThroughTheWindow) {
  Rig rig;
  const std::vector<double> p = {1, 0.5};
  ASSERT_EQ(rig.app.selectOtherDensity(catalogueChoice(CatalogueKind::gumbel, p)), "");
  EXPECT_EQ(rig.app.statusLine(), "Gumbel(mu = 1, beta = 0.5).");
  EXPECT_TRUE(passes(twoThrows(rig.app), [&](double x) { return catalogueCdf(CatalogueKind::gumbel, p, x); }));
  // Stepping works as for the built-in kinds.
  rig.app.command(CommandId::startStepping);
  EXPECT_TRUE(rig.app.model().stepping.active);
  ASSERT_TRUE(rig.app.model().typed.has_value());
  EXPECT_GE(rig.app.model().typed->pieces().size(), 4u);
  rig.app.command(CommandId::stepUntilAccepted);
  EXPECT_TRUE(rig.app.model().stepping.lastAccepted);
  RecordingCanvas canvas;
  rig.app.paint(canvas);
  // Back to a built-in kind: the program's own sampler settings again.
  rig.app.command(CommandId::firstDensity);
  rig.app.command(CommandId::throwDarts);
  EXPECT_EQ(rig.app.model().sampler.minSlopeGap, 0.1);
  EXPECT_EQ(rig.app.model().sampler.areaTolerance, 0.01);
  EXPECT_FALSE(rig.app.model().sampler.stableInversion);
}

TEST(OtherDensity, ExtremeLocationsAndScalesFillThePlotWithRoundTicksAndDarts) {
  struct Case {
    const char* logDensity;
    double location, scale;
    std::function<double(double)> standardCdf;
    double lowQuantile, highQuantile;  // where 1e-4 of the mass lies beyond
    const char* xTitle;
  };
  const auto normal = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
  const auto gumbel = [](double z) { return std::exp(-std::exp(-z)); };
  const std::vector<Case> cases = {
      {"-(x-800000000)^2/2", 8e8, 1, normal, -3.719, 3.719, "x \xe2\x88\x92 8e8"},
      {"-(x/0.000001)^2/2", 0, 1e-6, normal, -3.719, 3.719, "x"},
      {"-x/0.000001 - exp(-x/0.000001)", 0, 1e-6, gumbel, -2.220, 9.210, "x"},
  };
  for (const Case& c : cases) {
    Rig rig;
    ASSERT_EQ(rig.app.selectOtherDensity({"", c.logDensity, true, -inf, inf}), "");
    const CurveState& curve = rig.app.model().curve;
    EXPECT_NEAR((curve.xMin - c.location) / c.scale, c.lowQuantile, 0.05) << c.logDensity;
    EXPECT_NEAR((curve.xMax - c.location) / c.scale, c.highQuantile, 0.05) << c.logDensity;
    // The curve runs across the whole plotted range.
    EXPECT_EQ(curve.xValues.front(), curve.xMin);
    EXPECT_EQ(curve.xValues.back(), curve.xMax);
    const std::vector<double> darts = twoThrows(rig.app);
    EXPECT_TRUE(rig.window.boxes.empty()) << c.logDensity;
    EXPECT_TRUE(passes(darts, [&](double x) { return c.standardCdf((x - c.location) / c.scale); }))
        << c.logDensity;
    RecordingCanvas canvas;
    rig.app.paint(canvas);
    const std::vector<std::string> texts = canvas.texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "0"), texts.end()) << c.logDensity;
    EXPECT_EQ(std::count(texts.begin(), texts.end(), c.xTitle), std::string(c.xTitle) == "x" ? 0 : 1);
    // Stepping: the hull and the squeeze run across the plot, traced pixel by pixel.
    rig.app.command(CommandId::startStepping);
    for (int i = 0; i < 5; ++i) rig.app.command(CommandId::nextStep);
    EXPECT_TRUE(rig.window.boxes.empty()) << c.logDensity;
    EXPECT_EQ(rig.app.statusLine().rfind("Step 5: ", 0), 0u) << rig.app.statusLine();
    for (const int scale : {CommandId::normalScale, CommandId::logScale}) {
      rig.app.command(scale);
      rig.app.command(CommandId::startStepping);
      RecordingCanvas stepping;
      rig.app.paint(stepping);
      for (const Color color : {PlotColor::upperHull, PlotColor::squeeze}) {
        int least = 1 << 20, most = -(1 << 20), lines = 0;
        for (const Primitive& p : stepping.of(Primitive::Line)) {
          if (p.pen != color) continue;
          ++lines;
          least = std::min(least, p.a);
          most = std::max(most, p.a);
        }
        EXPECT_GE(lines, scale == CommandId::logScale ? 3 : 50) << c.logDensity;  // straight on the log scale
        EXPECT_GT(most - least, 100) << c.logDensity;  // of the 400 pixels' plot
      }
    }
  }
}

// Taken as log-concave, without the catalogue's transformation or split points.
DensityChoice underLog(CatalogueKind kind) {
  DensityChoice c = catalogueChoice(kind, catalogueEntry(kind).defaults);
  c.transform = ars::Transform::Log;
  c.splits.clear();
  return c;
}

TEST(OtherDensity, CauchyStudentTAndTheMixtureUnderLogAreReportedWithAProof) {
  for (CatalogueKind kind : {CatalogueKind::cauchy, CatalogueKind::studentT, CatalogueKind::normalMixture}) {
    Rig rig;
    ASSERT_EQ(rig.app.selectOtherDensity(underLog(kind)), "");
    rig.app.command(CommandId::throwDarts);
    ASSERT_EQ(rig.window.boxes.size(), 1u) << catalogueEntry(kind).name;
    EXPECT_EQ(rig.window.boxes[0].first, "Log-concavity assumption violated");
    EXPECT_NE(rig.window.boxes[0].second.find("lies below the chord from"), std::string::npos);
    EXPECT_NE(rig.app.statusLine().find("so it is not log-concave."), std::string::npos)
        << rig.app.statusLine();
    EXPECT_TRUE(rig.app.model().darts.x.empty());
    rig.app.command(CommandId::startStepping);
    EXPECT_FALSE(rig.app.model().stepping.active);
    EXPECT_EQ(rig.window.boxes.size(), 2u);
    // The three points stay highlighted: the middle one below the chord of the others.
    ASSERT_TRUE(rig.app.model().stepping.proof.has_value());
    const ProofHighlight& p = *rig.app.model().stepping.proof;
    EXPECT_LT(p.leftX, p.belowX);
    EXPECT_LT(p.belowX, p.rightX);
    EXPECT_LT(p.belowH, p.leftH + (p.rightH - p.leftH) * (p.belowX - p.leftX) / (p.rightX - p.leftX));
  }
  // The Cauchy passes the search and is refused by a later candidate, which
  // Step back undoes; a new start refuses at once.
  {
    Rig rig;
    ASSERT_EQ(rig.app.selectOtherDensity(underLog(CatalogueKind::cauchy)), "");
    rig.app.command(CommandId::startStepping);
    for (int i = 0; i < 1000 && rig.window.boxes.empty(); ++i) rig.app.command(CommandId::nextStep);
    ASSERT_EQ(rig.window.boxes.size(), 1u);
    ASSERT_TRUE(rig.app.model().stepping.proof.has_value());
    const int good = rig.app.model().stepping.stepsTaken;
    rig.app.command(CommandId::stepBack);
    EXPECT_TRUE(rig.app.model().stepping.active);
    EXPECT_FALSE(rig.app.model().stepping.proof.has_value());
    EXPECT_EQ(rig.app.model().stepping.stepsTaken, good);
    rig.app.command(CommandId::startStepping);
    EXPECT_FALSE(rig.app.model().stepping.active);
    EXPECT_EQ(rig.window.boxes.size(), 2u);
  }
  // Not integrable: a constant on a half line.
  Rig rig;
  ASSERT_EQ(rig.app.selectOtherDensity({"", "0*x", true, 0, inf}), "");
  rig.app.command(CommandId::throwDarts);
  ASSERT_EQ(rig.window.boxes.size(), 1u);
  EXPECT_EQ(rig.window.boxes[0].first, "Density not integrable");
}

TEST(OtherDensity, BadChoicesChangeNothing) {
  Rig rig;
  EXPECT_EQ(rig.app.selectOtherDensity({"", "exp(-x^2", false, -inf, inf}), "Position 9: Missing parenthesis.");
  EXPECT_EQ(rig.app.model().density.kind, 1);
  Lesson lesson;
  lesson.density = {"", "sqrt(x)", false, -1, 1};
  EXPECT_EQ(rig.app.openLesson(lesson), "The density is not a number at x = -0.999998.");
  EXPECT_EQ(rig.app.model().density.kind, 1);
  lesson.density.lower = 0;
  lesson.title = "Root";
  lesson.scale = LessonScale::log;
  EXPECT_EQ(rig.app.openLesson(lesson), "");
  EXPECT_TRUE(rig.app.model().view.logScale);
  const Lesson back = currentLesson(rig.app.model());
  EXPECT_EQ(back.title, "Root");
  EXPECT_EQ(back.density.formula, "sqrt(x)");
  EXPECT_EQ(back.scale, LessonScale::log);
}

TEST(OtherDensity, ADensityNarrowerThanTheDoublesAroundItIsReportedNotAHang) {
  // A spike at 4.4e44: neighbouring doubles differ by 5e28 there, so no
  // candidate is ever accepted. The sampler gives up and the window says so.
  Rig rig;
  ASSERT_EQ(rig.app.selectOtherDensity({"", "4444444-abs(x-4.44e44)", true, 0, inf}), "");
  rig.app.command(CommandId::throwDarts);
  ASSERT_EQ(rig.window.boxes.size(), 1u);
  EXPECT_EQ(rig.window.boxes[0].first, "Density not usable");
}

TEST(Histogram, BarsAndTheDartsOutsideSumToTheDarts) {
  Rig rig;
  ASSERT_EQ(rig.app.selectOtherDensity(catalogueChoice(CatalogueKind::laplace, {0, 1})), "");
  rig.app.command(CommandId::histogram);
  rig.app.command(CommandId::throwDarts);
  const Histogram h = histogramOf(rig.app.model().darts.x, rig.app.model().curve.xMin, rig.app.model().curve.xMax, 40);
  std::size_t sum = h.outside;
  for (std::size_t c : h.counts) sum += c;
  EXPECT_EQ(sum, rig.app.model().darts.x.size());
  EXPECT_LT(h.outside, 10u);  // the cut tails hold about 1e-4 each
  // The bar left of the peak matches the curve's mean over it.
  const std::vector<double> heights =
      barHeights(h, rig.app.model().darts.x.size(), rig.app.model().curve.xValues, rig.app.model().curve.yValues, false);
  const double w = (rig.app.model().curve.xMax - rig.app.model().curve.xMin) / 40;
  EXPECT_NEAR(heights[19] / std::exp(50.0), -std::expm1(-w) / w, 0.08);
  RecordingCanvas canvas;
  rig.app.paint(canvas);
}

TEST(PlainRejection, SideBySideWithAsManyDartsAndUnboundedSupportsCut) {
  Rig rig;
  rig.app.command(CommandId::comparePlainRejection);
  const DartsState& darts = rig.app.model().darts;
  EXPECT_TRUE(darts.comparing);
  ASSERT_EQ(darts.x.size(), 5000u);
  EXPECT_EQ(darts.plain.acceptedX.size(), 5000u);
  EXPECT_EQ(darts.plain.acceptedX.size() + darts.plain.rejectedX.size(), darts.plain.evaluations);
  // Beta(2,3) fills 1/(max f) = 0.5625 of the box (less the 1% margin).
  EXPECT_NEAR(5000.0 / static_cast<double>(darts.plain.evaluations), 0.5625 / 1.01, 0.03);
  EXPECT_FALSE(darts.plain.rangeCutsSupport);
  EXPECT_EQ(rig.app.statusLine(),
            "plain: 8,902 evaluations for 5,000 darts; adaptive: 99 evaluations for 5,000 darts");

  // Plain rejection's panel on the left, grey and red; the adaptive darts on
  // the right, red; each panel titled with its count and keyed.
  RecordingCanvas canvas;
  rig.app.paint(canvas);
  const int middle = rig.window.clientRect().right / 2;
  std::size_t greyLeft = 0, redLeft = 0, greyRight = 0, redRight = 0;
  for (const Primitive& dot : canvas.of(Primitive::Ellipse)) {
    const bool left = dot.c < middle;
    const bool grey = dot.brush == PlotColor::rejected;
    ASSERT_TRUE(grey || dot.brush == PlotColor::darts);
    ++(left ? (grey ? greyLeft : redLeft) : (grey ? greyRight : redRight));
  }
  EXPECT_EQ(greyLeft, darts.plain.rejectedX.size() + 1);  // and the key's
  EXPECT_EQ(redLeft, 5001u);
  EXPECT_EQ(greyRight, 0u);
  EXPECT_EQ(redRight, 5001u);
  const std::vector<std::string> texts = canvas.texts();
  const auto shown = [&texts](const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  EXPECT_TRUE(shown("Plain: 8,902 evaluations") || shown("Plain rejection: 8,902 evaluations for 5,000 darts"));
  EXPECT_TRUE(shown("Adaptive: 99 evaluations") || shown("Adaptive: 99 evaluations for 5,000 darts"));
  EXPECT_TRUE(shown("accepted") && shown("rejected"));
  // The legend names what the panels show, and after them only the curve, which is all a new scale shows.
  std::vector<std::string> names;
  for (const LegendEntry& entry : rig.window.legend) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"curve", "accepted", "rejected"}));
  rig.app.command(CommandId::normalScale);
  EXPECT_FALSE(darts.comparing);
  ASSERT_EQ(rig.window.legend.size(), 1u);
  EXPECT_STREQ(rig.window.legend[0].name, "curve");

  // Gamma(10, 0.1) is unbounded: sampled over the plotted range, with the mass beyond it stated.
  rig.app.command(124);
  rig.app.command(CommandId::comparePlainRejection);
  EXPECT_TRUE(rig.window.boxes.empty());
  EXPECT_TRUE(darts.comparing);
  EXPECT_EQ(darts.plain.acceptedX.size(), 5000u);
  EXPECT_TRUE(darts.plain.rangeCutsSupport);
  const auto inRange = [&darts](double x) { return x >= darts.plain.xMin && x <= darts.plain.xMax; };
  EXPECT_TRUE(std::all_of(darts.plain.acceptedX.begin(), darts.plain.acceptedX.end(), inRange));
  EXPECT_LT(darts.plain.massLeftOut, 0.001);
  EXPECT_NE(rig.app.statusLine().find(". Plain covers only 0 to 3, leaving out under 0.02% of the mass"),
            std::string::npos);
}

}  // namespace
