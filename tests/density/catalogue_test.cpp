// The catalogue's densities, sampled by the window's sampler set-up, against
// their exact distributions; and the ones the sampler must refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "density/catalogue.h"
#include "density/formula_density.h"
#include "density/mixture_inflections.h"
#include "density/plot_range.h"
#include "model/envelope_stepper.h"
#include "sampler/uniform_random.h"
#include "support/goodness_of_fit.h"

namespace {

using Form = FormulaDensity::Form;

FormulaDensity densityOf(const DensityChoice& c) {
  return FormulaDensity(c);
}

std::vector<double> draws(FormulaDensity& density, std::size_t n) {
  UniformRandom rnd;
  rnd.setSeed(1001);
  EnvelopeStepper sampler([&density](double x) { return density.logDensity(x); }, density.lower(),
                          density.upper());
  std::vector<double> xs(n);
  for (double& x : xs) x = sampler.sample(rnd);
  return xs;
}

TEST(Catalogue, EveryEntryWithItsDefaultsIsAValidFormula) {
  for (const CatalogueEntry& e : catalogue()) {
    EXPECT_EQ(catalogueProblem(e.kind, e.defaults), "") << e.name;
    const DensityChoice c = catalogueChoice(e.kind, e.defaults);
    EXPECT_NO_THROW(densityOf(c)) << e.name << ": " << c.formula;
    EXPECT_EQ(c.caption.rfind(e.name, 0), 0u) << c.caption;
  }
  EXPECT_EQ(catalogueProblem(CatalogueKind::weibull, {0.5, 1}), "k must be at least 1.");
  EXPECT_EQ(catalogueProblem(CatalogueKind::truncatedNormal, {0, 1, 3, 2}), "a must lie below b.");
  EXPECT_EQ(catalogueProblem(CatalogueKind::normal, {0, 0}), "sigma must be positive.");
  EXPECT_EQ(catalogueProblem(CatalogueKind::normalMixture, {1, 0, 1, 0, 1}),
            "w must lie between 0 and 1.");
}

TEST(Catalogue, LogConcaveEntriesFollowTheirExactDistributions) {
  const std::size_t n = 10000;
  struct Case {
    CatalogueKind kind;
    std::vector<double> p;
  };
  const std::vector<Case> cases = {
      {CatalogueKind::normal, {3, 0.5}},         {CatalogueKind::truncatedNormal, {0, 1, 2, 4}},
      {CatalogueKind::truncatedNormal, {0, 1, -1, 0.5}}, {CatalogueKind::exponential, {2}},
      {CatalogueKind::logistic, {-1, 2}},        {CatalogueKind::gumbel, {1, 0.5}},
      {CatalogueKind::laplace, {0, 3}},          {CatalogueKind::weibull, {1.5, 2}},
  };
  for (const Case& c : cases) {
    FormulaDensity d = densityOf(catalogueChoice(c.kind, c.p));
    const int bins = equalProbabilityBins(n);
    const double statistic =
        chiSquare(draws(d, n), [&](double x) { return catalogueCdf(c.kind, c.p, x); }, bins);
    EXPECT_LT(statistic, chiSquareQuantile(bins - 1, chiSquareZ)) << catalogueEntry(c.kind).name;
  }
  // Gamma and Beta against a tabulated distribution of their exact log-densities.
  FormulaDensity gamma = densityOf(catalogueChoice(CatalogueKind::gamma, {3, 2}));
  const NumericCdf gammaCdf([](double x) { return 2 * std::log(x) - x / 2; }, 0, 120);
  FormulaDensity beta = densityOf(catalogueChoice(CatalogueKind::beta, {2, 5}));
  const NumericCdf betaCdf([](double x) { return std::log(x) + 4 * std::log1p(-x); }, 0, 1);
  const int bins = equalProbabilityBins(n);
  EXPECT_LT(chiSquare(draws(gamma, n), gammaCdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
  EXPECT_LT(chiSquare(draws(beta, n), betaCdf, bins), chiSquareQuantile(bins - 1, chiSquareZ));
}

TEST(Catalogue, HeavyTailsAndTwoModesAreRefused) {
  for (CatalogueKind kind :
       {CatalogueKind::cauchy, CatalogueKind::studentT, CatalogueKind::normalMixture}) {
    FormulaDensity d = densityOf(catalogueChoice(kind, catalogueEntry(kind).defaults));
    EXPECT_THROW(draws(d, 5000), ars::NotLogConcave) << catalogueEntry(kind).name;
  }
}

TEST(Catalogue, HeavyTailsComeUnderInverseSqrtAndBelowNuOneAreRefused) {
  for (CatalogueKind kind : {CatalogueKind::cauchy, CatalogueKind::studentT}) {
    EXPECT_EQ(catalogueChoice(kind, catalogueEntry(kind).defaults).transform, ars::Transform::InverseSqrt);
  }
  EXPECT_EQ(catalogueProblem(CatalogueKind::studentT, {1}), "");
  EXPECT_NE(catalogueProblem(CatalogueKind::studentT, {0.5}).find("nu must be at least 1"), std::string::npos);
  EXPECT_EQ(catalogueChoice(CatalogueKind::normal, {0, 1}).transform, ars::Transform::Log);
}

// log f'' of the mixture in long double by central differences of its
// log-density: an independent check of the sign the catalogue's formula gives.
long double logCurvatureNumerically(const NormalMixture& m, long double x) {
  const auto logf = [&m](long double y) {
    const long double z1 = (y - m.mu1) / m.sigma1, z2 = (y - m.mu2) / m.sigma2;
    return std::log(m.w / m.sigma1 * std::exp(-z1 * z1 / 2) + (1 - m.w) / m.sigma2 * std::exp(-z2 * z2 / 2));
  };
  const long double h = 1e-4L;
  return (logf(x + h) - 2 * logf(x) + logf(x - h)) / (h * h);
}

TEST(Catalogue, TheMixtureCarriesTheInflectionPointsOfItsLog) {
  // Equal halves at +-2 with unit scales: log f'' = -1 + 4 sech^2(2x), zero at +-acosh(2)/2.
  const std::vector<double> splits = catalogueChoice(CatalogueKind::normalMixture, {0.5, -2, 1, 2, 1}).splits;
  ASSERT_EQ(splits.size(), 2u);
  EXPECT_NEAR(splits[0], -std::acosh(2.0) / 2, 1e-14);
  EXPECT_NEAR(splits[1], std::acosh(2.0) / 2, 1e-14);
  // Unequal weights and scales: every point is a change of sign, by an
  // independent computation. Two lie between the modes, and two where the
  // wide component's tail takes over again beyond the narrow one.
  for (const NormalMixture& m : {NormalMixture{0.7, 0, 1, 4, 0.5}, NormalMixture{0.999, 0, 1, 6, 0.01}}) {
    const std::vector<double> points = mixtureInflections(m);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_LT(points[1], m.mu2);
    EXPECT_GT(points[2], m.mu2);
    for (const double s : points) {
      EXPECT_LT(logCurvatureNumerically(m, s - 1e-3L) * logCurvatureNumerically(m, s + 1e-3L), 0) << s;
    }
  }
  // Modes too close for a dip: log-concave, no split points.
  EXPECT_TRUE(catalogueChoice(CatalogueKind::normalMixture, {0.5, -0.5, 1, 0.5, 1}).splits.empty());
}

TEST(Catalogue, PlotRangeCutsUnboundedTailsNearTheirQuantiles) {
  const std::vector<double> p = {3, 0.5};
  FormulaDensity d = densityOf(catalogueChoice(CatalogueKind::normal, p));
  const auto f = [&](double x) { return d.logDensity(x); };
  for (const PlotRange r : {plotRange(f, d.lower(), d.upper(), {}),
                            plotRange(f, d.lower(), d.upper(), {{1, f(1)}, {3, f(3)}, {6, f(6)}})}) {
    EXPECT_NEAR(catalogueCdf(CatalogueKind::normal, p, r.xMin), plotTailMass, plotTailMass / 2);
    EXPECT_NEAR(catalogueCdf(CatalogueKind::normal, p, r.xMax), 1 - plotTailMass, plotTailMass / 2);
  }
  FormulaDensity e = densityOf(catalogueChoice(CatalogueKind::exponential, {1}));
  const PlotRange r = plotRange([&](double x) { return e.logDensity(x); }, 0, e.upper(), {});
  EXPECT_EQ(r.xMin, 0);
  EXPECT_NEAR(r.xMax, -std::log(plotTailMass), 0.1);
  // A spike far from a finite end: the grid closes in on it and the end goes.
  FormulaDensity spike("-((x-1e6)/0.001)^2/2", Form::logDensity, 0, 1e7);
  const PlotRange s = plotRange([&](double x) { return spike.logDensity(x); }, 0, 1e7, {});
  EXPECT_NEAR((s.xMin - 1e6) / 0.001, -3.719, 0.05);
  EXPECT_NEAR((s.xMax - 1e6) / 0.001, 3.719, 0.05);
  // No finite mass: the stretch explored, from its finite end, not a collapsed spike.
  const double inf = std::numeric_limits<double>::infinity();
  FormulaDensity rising("x", Form::logDensity, 0, inf);
  const PlotRange g = plotRange([&](double x) { return rising.logDensity(x); }, 0, inf, {});
  EXPECT_EQ(g.xMin, 0);
  EXPECT_GT(g.xMax, 1e6);
}

}  // namespace
