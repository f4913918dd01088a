// The envelope update after one insertion against the complete build: every
// field of every segment, the scale and the total must agree to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "support/engine_fixtures.h"

namespace {

std::uint64_t bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// Empty when equal; otherwise the first difference.
std::string envelopeDifference(const ARSSampler& a, const ARSSampler& b) {
  if (a.segments.size() != b.segments.size()) return "segment count";
  for (std::size_t i = 0; i < a.segments.size(); ++i) {
    const double* fa = &a.segments[i].upperLeftX;
    const double* fb = &b.segments[i].upperLeftX;
    for (int f = 0; f < 12; ++f) {
      if (bits(fa[f]) != bits(fb[f])) {
        return "segment " + std::to_string(i) + " field " + std::to_string(f);
      }
    }
  }
  if (bits(a.scaleOffset) != bits(b.scaleOffset)) return "scaleOffset";
  if (bits(a.totalArea) != bits(b.totalArea)) return "totalArea";
  return "";
}

// A second sampler over the same points, limits and density, built completely.
struct Reference {
  explicit Reference(const ARSSampler& s) {
    full.density = s.density;
    full.lowerLimit = s.lowerLimit;
    full.upperLimit = s.upperLimit;
    full.points = s.points;
    full.buildEnvelope();
  }
  ARSSampler full;
};

// Rejections in throws from many seeds, each checked right after the update.
void checkRejections(ARSDensity& density, bool upperBounded, int seeds) {
  int rejections = 0;
  for (int seed = 1; seed <= seeds; ++seed) {
    SamplerRig rig(density, upperBounded, seed * 7919);
    ARSSampler& s = rig.sampler;
    s.initPoints();
    s.buildEnvelope();
    for (int draw = 0; draw < 5000; ++draw) {
      if (s.step()) continue;
      ++rejections;
      const double logZero = density.logZero;
      Reference ref(s);
      const std::string difference = envelopeDifference(s, ref.full);
      ASSERT_EQ(difference, "") << "seed " << seed << " draw " << draw;
      ASSERT_EQ(bits(logZero), bits(density.logZero));
      density.logZero = logZero;
    }
  }
  EXPECT_GT(rejections, 2000);
}

TEST(IncrementalEnvelope, EveryRejectionOfBetaThrowsMatchesTheFullBuild) {
  ARSBetaDensity beta = betaDensity(2, 3);
  checkRejections(beta, true, 60);
}

TEST(IncrementalEnvelope, EveryRejectionOfGammaThrowsMatchesTheFullBuild) {
  ARSGammaDensity gamma = gammaDensity(10, 0.1);
  checkRejections(gamma, false, 60);
}

// The same darts as a sampler that rebuilds completely before every step: the
// draw caches (segment ends, hull values, guide) stay consistent too.
TEST(IncrementalEnvelope, SampleDrawsAsAFullRebuildBeforeEveryStep) {
  for (int kind : {1, 4}) {
    ARSBetaDensity beta1 = betaDensity(2, 3), beta2 = betaDensity(2, 3);
    ARSGammaDensity gamma1 = gammaDensity(10, 0.1), gamma2 = gammaDensity(10, 0.1);
    ARSDensity& d1 = kind == 1 ? static_cast<ARSDensity&>(beta1) : gamma1;
    ARSDensity& d2 = kind == 1 ? static_cast<ARSDensity&>(beta2) : gamma2;
    SamplerRig fast(d1, kind == 1, 4242);
    SamplerRig slow(d2, kind == 1, 4242);
    for (int i = 0; i < 20000; ++i) {
      const double x = fast.sampler.sample();
      slow.sampler.initPoints();
      for (;;) {
        slow.sampler.buildEnvelope();
        if (slow.sampler.step()) break;
      }
      ASSERT_EQ(bits(x), bits(slow.sampler.lastX)) << kind << " " << i;
      ASSERT_EQ(bits(fast.sampler.lastLogY), bits(slow.sampler.lastLogY)) << kind << " " << i;
    }
    slow.sampler.buildEnvelope();
    EXPECT_EQ(envelopeDifference(fast.sampler, slow.sampler), "");
    EXPECT_EQ(fast.rnd.state, slow.rnd.state);
    EXPECT_GT(fast.sampler.points.size(), 50u);
  }
}

// Insertions anywhere, next to either end included, into point sets whose
// values need not be concave: spread slopes, hull maxima that move, rise or
// vanish with the pieces that held them.
TEST(IncrementalEnvelope, ArbitraryInsertionsMatchTheFullBuild) {
  std::mt19937_64 random(20260101);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  FunctionDensity density([](double x) { return -8 * (x - 0.4) * (x - 0.4); });
  int checked = 0;
  for (int run = 0; run < 400; ++run) {
    ARSSampler s;
    s.density = &density;
    s.lowerLimit = -1.0;
    s.upperLimit = 2.0;
    const bool concave = run % 2 == 0;
    auto value = [&](double x) {
      return concave ? density.logDensity(x) : 4 * unit(random) - 2 - x * x;
    };
    for (double x : {0.1 + 0.1 * unit(random), 0.5, 0.8 + 0.1 * unit(random)}) {
      s.points.push_back({x, value(x)});
    }
    s.buildEnvelope();
    const int insertions = 3 + run % 40;
    for (int n = 0; n < insertions; ++n) {
      double x;
      switch (n % 5) {
        case 0:  // left of every point
          x = s.points.front().x - 0.2 * unit(random);
          break;
        case 1:  // right of every point
          x = s.points.back().x + 0.2 * unit(random);
          break;
        case 2:  // next to the second point
          x = s.points[1].x + 1e-3 * (unit(random) - 0.5);
          break;
        default:
          x = -0.9 + 2.8 * unit(random);
      }
      const std::size_t at = s.insertPointAt(x, value(x));
      if (at == ARSSampler::noIndex) continue;
      s.rebuildAfterInsert(at);
      Reference ref(s);
      ASSERT_EQ(envelopeDifference(s, ref.full), "") << "run " << run << " insertion " << n;
      ++checked;
    }
  }
  EXPECT_GT(checked, 8000);
}

TEST(IncrementalEnvelope, ChangesBehindItsBackFallBackToTheFullBuild) {
  ARSBetaDensity beta = betaDensity(2, 3);
  SamplerRig rig(beta);
  ARSSampler& s = rig.sampler;
  s.initPoints();
  s.buildEnvelope();
  for (int i = 0; i < 200; ++i) s.step();

  // A point replaced directly, far from the insertion.
  s.points[1].h -= 0.25;
  std::size_t at = s.insertPointAt(0.99, beta.logDensity(0.99));
  s.rebuildAfterInsert(at);
  EXPECT_EQ(envelopeDifference(s, Reference(s).full), "");

  // Limits moved since the build.
  s.upperLimit = 0.9999;
  at = s.insertPointAt(0.011, beta.logDensity(0.011));
  s.rebuildAfterInsert(at);
  EXPECT_EQ(envelopeDifference(s, Reference(s).full), "");

  // Two insertions with one update.
  s.insertPointAt(0.5001, beta.logDensity(0.5001));
  at = s.insertPointAt(0.5002, beta.logDensity(0.5002));
  s.rebuildAfterInsert(at);
  EXPECT_EQ(envelopeDifference(s, Reference(s).full), "");

  // A repeated abscissa is not inserted.
  EXPECT_EQ(s.insertPointAt(0.5002, 0.0), ARSSampler::noIndex);
}

}  // namespace
