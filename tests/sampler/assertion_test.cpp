#include "sampler/assertion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "density/beta_density.h"
#include "sampler/ars.h"

namespace {

void reportWithPrefix(const char* report) { std::fprintf(stderr, "handler: %s", report); }

void exitHandlerMustNotRun() { std::fputs("exit handler ran\n", stderr); }

void stepWithoutRandomSource() {
  ARSSampler sampler;
  sampler.step();
}

void sampleWithoutRandomSource() {
  ARSSampler sampler;
  sampler.sample();
}

void initPointsWithoutDensity() {
  ARSSampler sampler;
  sampler.initPoints();
}

void extendUpperWithoutDensity() {
  ARSSampler sampler;
  sampler.upperBounded = false;
  sampler.extendUpperLimit();
}

void findStartingPointsWithoutDensity() {
  ARSSampler sampler;
  HullPoint a, b, c;
  sampler.findStartingPoints(a, b, c);
}

void buildEnvelopeWithoutDensity() {
  ARSSampler sampler;
  sampler.points = {{0.1, -1}, {0.5, 0}, {0.9, -1}};
  sampler.buildEnvelope();
}

void failThroughCustomHandler() {
  std::atexit(exitHandlerMustNotRun);
  setAssertionHandler(reportWithPrefix);
  assertionFailed("x != NULL", "somewhere", 7);
}

TEST(AssertionDeathTest, SamplerWithoutRandomSource) {
  EXPECT_EXIT(stepWithoutRandomSource(), testing::ExitedWithCode(1),
              "Assertion \\(prnd != NULL\\) failed in \"ars\" on line 66");
  EXPECT_EXIT(sampleWithoutRandomSource(), testing::ExitedWithCode(1),
              "Assertion \\(prnd != NULL\\) failed in \"ars\" on line 151");
}

TEST(AssertionDeathTest, SamplerWithoutDensity) {
  // With both ends bounded the first check reached is the lower extension's.
  EXPECT_EXIT(initPointsWithoutDensity(), testing::ExitedWithCode(1),
              "\\(density != NULL\\) failed in \"ars\" on line 381");
  EXPECT_EXIT(extendUpperWithoutDensity(), testing::ExitedWithCode(1), "on line 363");
  EXPECT_EXIT(findStartingPointsWithoutDensity(), testing::ExitedWithCode(1), "on line 202");
  EXPECT_EXIT(buildEnvelopeWithoutDensity(), testing::ExitedWithCode(1), "on line 703");
}

TEST(AssertionDeathTest, ReplaceableHandlerThenExitWithoutExitHandlers) {
  EXPECT_EXIT(failThroughCustomHandler(), testing::ExitedWithCode(1),
              "^handler: Assertion \\(x != NULL\\) failed in \"somewhere\" on line 7\n$");
}

TEST(Assertion, HandlerCanBeRestored) {
  const AssertionHandler original = setAssertionHandler(reportWithPrefix);
  EXPECT_EQ(setAssertionHandler(nullptr), reportWithPrefix);
  EXPECT_EQ(setAssertionHandler(original), original);
}

}  // namespace
