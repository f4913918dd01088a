// Densities cut at their inflection points into pieces where log f is concave
// or convex: exact draws (Kolmogorov-Smirnov, also one draw per fresh
// sampler), and the reports when the pieces do not fit the density.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sampler/t_concave_sampler.h"
#include "support/goodness_of_fit.h"
#include "support/kolmogorov_smirnov.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

struct Normal {
  double weight, mean, sd;
};

// log of a mixture of normals, and where its second derivative changes sign:
// h'' = -E[1/sd^2] + Var[-(x - mean)/sd^2] under the components' posterior weights.
struct Mixture {
  std::vector<Normal> parts;

  double logpdf(double x) const {
    double top = -kInf;
    for (const Normal& p : parts) top = std::max(top, logPart(p, x));
    double sum = 0;
    for (const Normal& p : parts) sum += std::exp(logPart(p, x) - top);
    return top + std::log(sum);
  }
  double cdf(double x) const {
    double c = 0;
    for (const Normal& p : parts) c += p.weight * 0.5 * std::erfc(-(x - p.mean) / (p.sd * std::sqrt(2.0)));
    return c;
  }
  double curvature(double x) const {
    const double h = logpdf(x);
    double mean = 0, square = 0, inverse = 0;
    for (const Normal& p : parts) {
      const double w = std::exp(logPart(p, x) - h), s = -(x - p.mean) / (p.sd * p.sd);
      mean += w * s;
      square += w * s * s;
      inverse += w / (p.sd * p.sd);
    }
    return -inverse + square - mean * mean;
  }
  std::vector<double> inflections() const {
    std::vector<double> roots;
    for (double x = -20; x < 20; x += 0.01) {
      double a = x, b = x + 0.01;
      if ((curvature(a) > 0) == (curvature(b) > 0)) continue;
      for (int i = 0; i < 100; ++i) {
        const double m = 0.5 * (a + b);
        ((curvature(m) > 0) == (curvature(a) > 0) ? a : b) = m;
      }
      roots.push_back(0.5 * (a + b));
    }
    return roots;
  }

 private:
  static double logPart(const Normal& p, double x) {
    const double z = (x - p.mean) / p.sd;
    return std::log(p.weight / p.sd) - 0.5 * z * z;
  }
};

struct PieceCase {
  std::string name;
  std::function<double(double)> logpdf, cdf;
  std::vector<double> splits;
};

std::vector<PieceCase> pieceCases() {
  const Mixture twins{{{0.5, -3, 1}, {0.5, 3, 1}}};
  const Mixture lopsided{{{0.7, 0, 1}, {0.3, 4, 0.5}}};
  const auto quartic = [](double x) { return -x * x * x * x + 3 * x * x; };
  const auto flatTop = [](double x) {
    const double out = std::max(std::fabs(x) - 1, 0.0);
    return -out * out;
  };
  return {
      {"twins", [=](double x) { return twins.logpdf(x); }, [=](double x) { return twins.cdf(x); },
       twins.inflections()},
      {"lopsided", [=](double x) { return lopsided.logpdf(x); },
       [=](double x) { return lopsided.cdf(x); }, lopsided.inflections()},
      {"quartic", quartic, NumericCdf(quartic, -4, 4), {-std::sqrt(0.5), std::sqrt(0.5)}},
      {"flat top", flatTop, NumericCdf(flatTop, -8, 8), {-1, 1}},
  };
}

TEST(TConcavePieces, InflectionPointsAreFoundWhereExpected) {
  const Mixture twins{{{0.5, -3, 1}, {0.5, 3, 1}}};
  const std::vector<double> at = twins.inflections();
  ASSERT_EQ(at.size(), 2u);
  EXPECT_NEAR(at[1], std::acosh(3.0) / 3, 1e-12);
  // The narrow component dominates between the two pairs: four changes.
  EXPECT_EQ(Mixture({{{0.7, 0, 1}, {0.3, 4, 0.5}}}).inflections().size(), 4u);
}

TEST(TConcavePieces, ManyDrawsAndFreshSamplersMatchTheDistribution) {
  for (const PieceCase& c : pieceCases()) {
    for (std::uint64_t seed : {1u, 2u}) {
      ars::TConcaveSampler s(c.logpdf, -kInf, kInf, ars::Transform::Log, c.splits, {}, seed);
      std::vector<double> xs(200000);
      for (double& x : xs) x = s.sample();
      EXPECT_GE(ksPValue(xs, c.cdf), 1e-6) << c.name << " seed " << seed;
      EXPECT_LT(s.evaluations(), 400u) << c.name;
      EXPECT_LE(s.squeezeArea(), s.hatArea()) << c.name;
    }
    std::mt19937_64 g(7);
    double x = 0.1;
    std::vector<double> gibbs(50000);
    for (double& out : gibbs) {
      ars::TConcaveSampler s(c.logpdf, -kInf, kInf, ars::Transform::Log, c.splits, {x});
      out = x = s(g);
    }
    EXPECT_GE(ksPValue(gibbs, c.cdf), 1e-6) << c.name << " (one draw per fresh sampler)";
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

}  // namespace
