// Terms on screen lead to How it works: the pointer's tip over the envelope
// (why a hull piece rises, why the hull drops vertically), the legend's
// entries, and a legend that names only what is drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/plot_mapping.h"
#include "resources/command_ids.h"
#include "studio/how_it_works.h"
#include "studio/session.h"
#include "support/session_after.h"
#include "studio/terms.h"

namespace {

using test_support::After;
const Rect& client = test_support::sessionClient;

// The first tip down the column at x holding `words`, scanning the frame.
std::string tipInColumn(const Session& session, double x, const std::string& words) {
  const Rect& frame = session.layout().frame;
  const int px = wholePixelX(session.layout().mapping, x);
  for (int py = frame.top; py < frame.bottom; ++py) {
    const std::string tip = session.toolTipAt(px, py);
    if (tip.find(words) != std::string::npos) return tip;
  }
  return "";
}

bool anchorOnPage(const std::string& anchor) {
  for (const HowSection& section : howItWorks())
    if (section.anchor == anchor) return true;
  return false;
}

std::vector<std::string> namesOf(const Session& session) {
  std::vector<std::string> names;
  for (const LegendEntry& e : session.legend()) names.emplace_back(e.name);
  return names;
}

TEST(PointerTip, BetaAtStartExplainsItsVerticalDropsAndTheRisingPiece) {
  using namespace CommandId;
  const After normal({startStepping});
  const Session& session = normal.session;
  for (const double outer : {0.05, 0.95}) {
    const std::string tip = tipInColumn(session, outer, "A vertical");
    EXPECT_NE(tip.find("two extended secants meet"), std::string::npos) << outer << ": " << tip;
    const int px = wholePixelX(session.layout().mapping, outer);
    int py = session.layout().frame.top;
    while (session.toolTipAt(px, py).find("A vertical") == std::string::npos) ++py;
    EXPECT_EQ(session.termAt(px, py), "hull-piece");
  }
  // The rising piece leaves the top of the classic frame past 0.6; the whole envelope keeps it in view.
  const After log({logScale, startStepping});
  const After whole({wholeEnvelope, logScale, startStepping});
  for (const std::string& rising :
       {tipInColumn(log.session, 0.55, "Upper hull"), tipInColumn(whole.session, 0.75, "Upper hull")}) {
    EXPECT_NE(rising.find("extends the secant through the points at x = 0.050 and 0.500, to its left"),
              std::string::npos)
        << rising;
    EXPECT_NE(rising.find("It rises while the density falls"), std::string::npos) << rising;
    EXPECT_NE(rising.find("concave"), std::string::npos) << rising;
  }
  EXPECT_NE(tipInColumn(log.session, 0.3, "Squeeze: the chord between the points at x = 0.050 and 0.500"), "");
  EXPECT_NE(tipInColumn(log.session, 0.5, "A point at x = 0.500"), "");
  // Above the hull, and with no envelope on screen, nothing is said.
  EXPECT_EQ(log.session.toolTipAt(log.session.layout().frame.left + 2, log.session.layout().frame.bottom - 2), "");
  const After opening({});
  EXPECT_EQ(tipInColumn(opening.session, 0.5, " "), "");
}

TEST(PointerTip, TypedDensitiesUnderMinusOneOverRootFAndTheWhyPanelToo) {
  Session session;
  session.resize(client);
  session.chooseDensity({"Cauchy", "1/(1+x^2)", false, -INFINITY, INFINITY, ars::Transform::InverseSqrt});
  session.apply(CommandId::startStepping);
  const std::vector<double> x = {-3.0, -1.5, -0.5, 0.0, 0.5, 1.5, 3.0};
  bool hull = false;
  for (const double at : x) hull |= !tipInColumn(session, at, "Upper hull").empty();
  EXPECT_TRUE(hull);
  session.apply(CommandId::whyPanel);
  const Rect& plot = session.layout().client;
  const int px = plot.right < client.right ? (plot.right + client.right) / 2 : client.right / 2;
  const int py = plot.bottom < client.bottom ? (plot.bottom + client.bottom) / 2 : client.bottom / 2;
  EXPECT_NE(session.toolTipAt(px, py).find("Squeeze:"), std::string::npos);
  EXPECT_EQ(session.termAt(px, py), "step");
}

TEST(Terms, EveryLegendEntryLeadsToASectionOfHowItWorks) {
  using namespace CommandId;
  for (const std::vector<int>& ids :
       {std::vector<int>{throwDarts}, {startStepping, nextStep}, {twoBeats, startStepping, nextStep},
        {comparePlainRejection}, {lastDensity, startStepping, nextStep, nextStep, nextStep, nextStep, nextStep}}) {
    After after(ids);
    Session& session = after.session;
    const std::vector<LegendEntry> legend = session.legend();
    for (std::size_t i = 0; i < legend.size(); ++i) {
      SCOPED_TRACE(legend[i].name);
      EXPECT_FALSE(session.legendTip(i).empty());
      const Term* term = legendTerm(legend[i].name);
      ASSERT_NE(term, nullptr);
      EXPECT_TRUE(anchorOnPage(term->anchor));
    }
    const Effects opened = session.explainLegend(0);
    ASSERT_TRUE(opened.question);
    EXPECT_EQ(opened.question->kind, QuestionKind::HowItWorks);
    EXPECT_TRUE(anchorOnPage(opened.question->text));
    session.answer(*opened.question, Choice::Ok);
  }
  for (const Term* term : {&tScaleTerm(), &splitTerm(), &evaluationTerm(), &whyPanelTerm()}) {
    EXPECT_TRUE(anchorOnPage(term->anchor)) << term->definition;
  }
  EXPECT_EQ(::howItWorks()[howSectionIndex("t-scale")].anchor, "t-scale");
  After stepping({startStepping});
  EXPECT_FALSE(stepping.session.explainLegend(99).question);
}

TEST(Legend, NamesOnlyWhatTheStateDraws) {
  using namespace CommandId;
  using Names = std::vector<std::string>;
  EXPECT_EQ(namesOf(After({}).session), (Names{"curve"}));
  EXPECT_EQ(namesOf(After({throwDarts}).session), (Names{"curve", "darts"}));
  EXPECT_EQ(namesOf(After({twoBeats, throwDarts}).session), (Names{"curve", "darts"}));
  EXPECT_EQ(namesOf(After({envelopeAfterDarts, throwDarts}).session),
            (Names{"curve", "upper hull", "squeeze", "darts", "points"}));
  EXPECT_EQ(namesOf(After({startStepping}).session), (Names{"curve", "upper hull", "squeeze", "points"}));
  EXPECT_EQ(namesOf(After({startStepping, nextStep}).session),
            (Names{"curve", "upper hull", "squeeze", "points", "candidate"}));
}

TEST(Terms, TheStatusLinesTipSaysWhatItsTermsMean) {
  const After start({CommandId::startStepping});
  const std::string tip = start.session.statusToolTip();
  EXPECT_EQ(tip.rfind(start.session.statusLine(), 0), 0u) << tip;
  EXPECT_NE(tip.find(evaluationTerm().definition), std::string::npos) << tip;
  EXPECT_NE(tip.find("Squeeze: chords"), std::string::npos) << tip;
  EXPECT_EQ(termsNamedIn("Beta density with alpha = 2 and beta = 3."), "");
}

}  // namespace
