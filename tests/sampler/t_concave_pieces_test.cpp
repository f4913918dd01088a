// Densities cut at their inflection points into pieces where log f is concave
// or convex: exact draws (Kolmogorov-Smirnov), and the reports when the
// pieces do not fit the density.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sampler/t_concave_sampler.h"
#include "support/kolmogorov_smirnov.h"
#include "support/t_concave_cases.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

TEST(TConcavePieces, InflectionPointsAreFoundWhereExpected) {
  const Mixture twins{{{0.5, -3, 1}, {0.5, 3, 1}}};
  const std::vector<double> at = twins.inflections();
  ASSERT_EQ(at.size(), 2u);
  EXPECT_NEAR(at[1], std::acosh(3.0) / 3, 1e-12);
  // The narrow component dominates between the two pairs: four changes.
  EXPECT_EQ(Mixture({{{0.7, 0, 1}, {0.3, 4, 0.5}}}).inflections().size(), 4u);
}

TEST(TConcavePieces, ManyDrawsMatchTheDistribution) {
  for (const TConcaveCase& c : pieceCases()) {
    for (std::uint64_t seed : {1u, 2u}) {
      ars::TConcaveSampler s(c.logpdf, -kInf, kInf, ars::Transform::Log, c.splits, {}, seed);
      std::vector<double> xs(200000);
      for (double& x : xs) x = s.sample();
      EXPECT_GE(ksPValue(xs, c.cdf), 1e-6) << c.name << " seed " << seed;
      EXPECT_LT(s.evaluations(), 400u) << c.name;
      EXPECT_LE(s.squeezeArea(), s.hatArea()) << c.name;
    }
  }
}

// Draws until the sampler refuses; the message is returned, "" if it never did.
std::string refusal(const std::function<void(std::vector<double>&)>& draw) {
  std::vector<double> sink(1);
  try {
    for (int i = 0; i < 200000; ++i) draw(sink);
  } catch (const ars::NotLogConcave& e) {
    return e.what();
  }
  return "";
}

TEST(TConcavePieces, PiecesThatDoNotFitAreReported) {
  const Mixture twins{{{0.5, -3, 1}, {0.5, 3, 1}}};
  const auto h = [=](double x) { return twins.logpdf(x); };
  // Without split points the dip between the modes proves log f not concave.
  std::string why = refusal([&](std::vector<double>&) {
    ars::TConcaveSampler s(h, -kInf, kInf, ars::Transform::Log);
    for (int i = 0; i < 1000; ++i) s.sample();
  });
  EXPECT_NE(why.find("not T-concave under T = log f"), std::string::npos) << why;
  // One split of two: the piece right of it is convex, then concave.
  const double split = twins.inflections().front();
  ars::TConcaveSampler one(h, -kInf, kInf, ars::Transform::Log, {split});
  why = refusal([&](std::vector<double>&) { one.sample(); });
  EXPECT_NE(why.find("neither concave nor convex"), std::string::npos) << why;
  // (1 + x)^-3 has a convex log towards +infinity; under -1/sqrt(f) it is concave.
  const auto pareto = [](double x) { return -3 * std::log1p(x); };
  why = refusal([&](std::vector<double>&) {
    ars::TConcaveSampler s(pareto, 0, kInf, ars::Transform::Log, {1.0});
    s.sample();
  });
  EXPECT_NE(why.find("cannot reach an infinite end"), std::string::npos) << why;
  ars::TConcaveSampler heavy(pareto, 0, kInf, ars::Transform::InverseSqrt, {1.0});
  for (int i = 0; i < 1000; ++i) EXPECT_GT(heavy.sample(), 0);
  // Bad split points name themselves.
  EXPECT_THROW(ars::TConcaveSampler(h, -kInf, kInf, ars::Transform::Log, {1, 0}), std::invalid_argument);
  EXPECT_THROW(ars::TConcaveSampler(h, 0, 1, ars::Transform::Log, {1}), std::invalid_argument);
}

// A thousand split points through a log-concave density: each piece is
// concave, and every piece short of points gets them in the same pass, so
// the build costs about two evaluations per piece and draws stay exact.
TEST(TConcavePieces, ManySplitPointsDrawExactly) {
  std::vector<double> splits;
  for (int i = -500; i <= 500; ++i) splits.push_back(i * 0.005);
  const auto cdf = [](double x) { return 0.5 * std::erfc(-x); };  // of exp(-x^2)
  for (ars::Transform t : {ars::Transform::Log, ars::Transform::InverseSqrt}) {
    ars::TConcaveSampler s([](double x) { return -x * x; }, -kInf, kInf, t, splits, {}, 6);
    EXPECT_LT(s.evaluations(), 3 * splits.size());
    std::mt19937_64 g(8);
    std::vector<double> xs(200000);
    for (double& x : xs) x = s(g);
    EXPECT_GE(ksPValue(xs, cdf), 1e-6);
  }
}

}  // namespace
