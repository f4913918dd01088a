// FastTable under hulls built from points: the law of the accepted draws,
// no accepted point above h, the share of draws decided without h, the
// areas against the exact normalising constants, and the input checks.
#include <gtest/gtest.h>

#include <pcg_random.hpp>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "sampler/fast_table.h"
#include "support/goodness_of_fit.h"
#include "support/secant_hull.h"

namespace {

using ars::detail::FastTable;
using ars::detail::HullPiece;
constexpr double inf = std::numeric_limits<double>::infinity();

struct Case {
  std::string name;
  std::function<double(double)> h;
  double lower, upper;
  std::vector<double> points;
  std::function<double(double)> cdf;
  double logIntegral;  // of exp(h) over the support
  std::vector<double> zeros = {};  // evaluated points where h is -inf, added to the squeeze's
};

std::vector<Case> cases() {
  // Far from 0 in both directions: the table must shift, and margins must
  // follow the level of h, not its scale.
  const double gumbelLevel = 1e9, gumbelScale = 1e-6;
  return {
      {"Normal", [](double x) { return -0.5 * x * x; }, -inf, inf, evenPoints(-7, 7, 200),
       [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }, 0.5 * std::log(2 * M_PI)},
      {"Beta23", [](double x) { return std::log(x) + 2 * std::log1p(-x); }, 0, 1,
       evenPoints(0.004, 0.996, 200), [](double x) { return x * x * (6 - 8 * x + 3 * x * x); },
       -std::log(12.0), {0.0, 1.0}},
      {"GumbelFarFromZero",
       [=](double x) { return gumbelLevel + (-x / gumbelScale - std::exp(-x / gumbelScale)); }, -inf, inf,
       evenPoints(-3 * gumbelScale, 10 * gumbelScale, 250),
       [=](double x) { return std::exp(-std::exp(-x / gumbelScale)); }, gumbelLevel + std::log(gumbelScale)},
      {"ExponentialModeAtEnd", [](double x) { return -2 * x; }, 0, inf, evenPoints(0, 6, 60),
       [](double x) { return -std::expm1(-2 * x); }, -std::log(2.0)},
  };
}

struct Draws {
  std::vector<double> samples;
  long draws = 0, withoutH = 0, acceptedAboveH = 0;
};

template <class URBG>
Draws drawAccepted(const FastTable& table, const Case& c, std::size_t n, URBG& g) {
  Draws run;
  while (run.samples.size() < n) {
    const FastTable::Candidate d = table.draw(g);
    ++run.draws;
    if (d.accepted) {
      ++run.withoutH;
      if (!(d.logY <= c.h(d.x))) ++run.acceptedAboveH;
      run.samples.push_back(d.x);
    } else if (d.logY <= c.h(d.x)) {
      run.samples.push_back(d.x);
    }
  }
  return run;
}

FastTable tableFor(const Case& c, bool withSqueeze = true) {
  SecantEnvelope e = secantEnvelope(c.h, c.points, c.lower, c.upper);
  if (!c.zeros.empty()) {
    e.x.insert(e.x.begin(), c.zeros.front());
    e.h.insert(e.h.begin(), -inf);
    e.x.push_back(c.zeros.back());
    e.h.push_back(-inf);
  }
  if (!withSqueeze) e.x.clear(), e.h.clear();
  FastTable table;
  table.build(e.hull, e.x, e.h);
  return table;
}

TEST(FastTable, ExactLawMostlyWithoutEvaluationAndAreasBracketTheIntegral) {
  pcg64 g(20240611u);
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const FastTable table = tableFor(c);
    EXPECT_GT(table.boxShare(), 0.97);
    EXPECT_LE(table.logSqueezeArea(), c.logIntegral + (1e-15 * std::fabs(c.logIntegral) + 1e-12));
    EXPECT_GE(table.logHatArea(), c.logIntegral - (1e-15 * std::fabs(c.logIntegral) + 1e-12));
    EXPECT_GT(table.logSqueezeArea() - table.logHatArea(), std::log(0.985));

    const Draws run = drawAccepted(table, c, 100000, g);
    EXPECT_EQ(run.acceptedAboveH, 0);
    EXPECT_GT(static_cast<double>(run.withoutH) / run.draws, 0.97);
    const int bins = equalProbabilityBins(run.samples.size());
    EXPECT_LT(chiSquare(run.samples, c.cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
    for (double x : run.samples) ASSERT_TRUE(x >= c.lower && x <= c.upper) << x;
  }
}

TEST(FastTable, ThirtyTwoBitAndOddRangeGeneratorsGiveTheSameLaw) {
  const Case c = cases()[1];
  const FastTable table = tableFor(c);
  std::mt19937 narrow(7);
  std::minstd_rand odd(7);
  for (const Draws& run : {drawAccepted(table, c, 50000, narrow), drawAccepted(table, c, 50000, odd)}) {
    const int bins = equalProbabilityBins(run.samples.size());
    EXPECT_LT(chiSquare(run.samples, c.cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
  }
}

TEST(FastTable, WithoutSqueezeEveryDrawIsHandedBackAndTheLawHolds) {
  const Case c = cases()[0];
  const FastTable table = tableFor(c, false);
  EXPECT_EQ(table.boxShare(), 0.0);
  EXPECT_EQ(table.logSqueezeArea(), -inf);
  pcg64 g(5);
  const Draws run = drawAccepted(table, c, 20000, g);
  EXPECT_EQ(run.withoutH, 0);
  const int bins = equalProbabilityBins(run.samples.size());
  EXPECT_LT(chiSquare(run.samples, c.cdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
}

// build() keeps its working space between builds: what a bigger envelope
// left in it must not leak into the next table, and a copy must not share it.
TEST(FastTable, RebuiltAndCopiedTablesDrawAsAFreshBuild) {
  const std::vector<Case> all = cases();
  const auto firstDraws = [](const FastTable& table) {
    pcg64 g(11);
    std::vector<double> xs;
    for (int i = 0; i < 2000; ++i) xs.push_back(table.draw(g).x);
    return xs;
  };
  for (const Case& c : {all[1], all[3]}) {
    SCOPED_TRACE(c.name);
    const SecantEnvelope e = secantEnvelope(c.h, c.points, c.lower, c.upper);
    FastTable reused = tableFor(all[0]);  // 200 points: the larger space
    reused.build(e.hull, e.x, e.h);
    FastTable fresh;
    fresh.build(e.hull, e.x, e.h);
    const FastTable copy = reused;
    EXPECT_EQ(firstDraws(reused), firstDraws(fresh));
    EXPECT_EQ(firstDraws(copy), firstDraws(fresh));
    EXPECT_EQ(reused.logHatArea(), fresh.logHatArea());
    EXPECT_EQ(reused.strips(), fresh.strips());
  }
}

void expectRejected(const std::vector<HullPiece>& hull, const std::vector<double>& px,
                    const std::vector<double>& ph, const std::string& words) {
  FastTable table;
  try {
    table.build(hull, px, ph);
    ADD_FAILURE() << "accepted; expected: " << words;
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
  }
}

TEST(FastTable, MalformedEnvelopesAreNamedAndDrawNeedsABuild) {
  const std::vector<double> px{-1, 0, 1}, ph{-0.5, 0, -0.5};
  const HullPiece left{-inf, 0, 0, 0, 1}, right{0, inf, 0, 0, -1};
  expectRejected({}, px, ph, "no pieces");
  expectRejected({{-inf, 0, 0, 0, -1}, right}, px, ph, "hull piece 0 is unbounded on the left");
  expectRejected({left, {0, inf, 0, 0, 1}}, px, ph, "hull piece 1 is unbounded on the right");
  expectRejected({left, {0.5, inf, 0, 0, -1}}, px, ph, "does not start where piece 0 ends");
  expectRejected({left, {0, inf, 0, NAN, -1}}, px, ph, "non-finite");
  expectRejected({left, right}, {-1, 1, 0}, ph, "not strictly ascending");
  expectRejected({left, right}, px, {0, NAN, 0}, "ph[1]");
  expectRejected({left, right}, {-1, 0}, ph, "differ in size");
  expectRejected({{-1, 0, 0, 0, 1}, {0, 1, 0, 0, -1}}, {-2, 0, 1}, ph, "outside the hull");

  FastTable empty;
  pcg64 g;
  EXPECT_THROW(empty.draw(g), std::logic_error);
  EXPECT_FALSE(empty.built());
}

}  // namespace
