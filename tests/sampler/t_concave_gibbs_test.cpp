// The Gibbs pattern through the T-concave sampler: one draw per fresh
// sampler, started at the previous draw, for every density of the
// steady-state tests, by Kolmogorov-Smirnov on ARS_GIBBS_DRAWS draws for
// each of two seeds. 2e5 in the release build (about a minute on two cores
// for all of them); the sanitizer build, an order of magnitude slower, runs
// 2e4 (tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "sampler/t_concave_sampler.h"
#include "support/kolmogorov_smirnov.h"
#include "support/t_concave_cases.h"

#ifndef ARS_GIBBS_DRAWS
#define ARS_GIBBS_DRAWS 200000
#endif

// CTest lists each case by its name, not its bytes.
void PrintTo(const TConcaveCase& c, std::ostream* os) { *os << c.name; }

namespace {

std::vector<TConcaveCase> allCases() {
  std::vector<TConcaveCase> all = heavyTailCases();
  for (TConcaveCase& c : pieceCases()) all.push_back(std::move(c));
  return all;
}

class FreshSamplerPerDraw : public testing::TestWithParam<TConcaveCase> {};

TEST_P(FreshSamplerPerDraw, MatchesTheDistribution) {
  const TConcaveCase& c = GetParam();
  for (std::uint64_t seed : {7u, 8u}) {
    std::mt19937_64 g(seed);
    double x = c.lower == 0 ? 1 : 0.1;
    std::vector<double> xs(ARS_GIBBS_DRAWS);
    for (double& out : xs) {
      ars::TConcaveSampler s(c.logpdf, c.lower, c.upper, c.transform, c.splits, {x});
      out = x = s(g);
    }
    EXPECT_GE(ksPValue(xs, c.cdf), 1e-6) << c.name << " seed " << seed;
  }
}

std::string caseName(const testing::TestParamInfo<TConcaveCase>& info) {
  std::string name;
  for (char ch : info.param.name) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(TConcave, FreshSamplerPerDraw, testing::ValuesIn(allCases()), caseName);

}  // namespace
