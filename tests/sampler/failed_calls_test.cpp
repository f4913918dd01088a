// Calls that fail: a reset or warm update that throws leaves the sampler
// exactly as it was (envelope, counts, warm memory, generator), and the
// messages name a NaN plainly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "sampler/argument_checks.h"
#include "sampler/log_concave_sampler.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

double normal(double x) { return -0.5 * x * x; }

// Everything a user can see of a sampler's state, draws included.
void expectSame(ars::LogConcaveSampler& a, ars::LogConcaveSampler& b) {
  EXPECT_EQ(a.points(), b.points());
  EXPECT_EQ(a.counts().evaluations, b.counts().evaluations);
  EXPECT_EQ(a.counts().draws, b.counts().draws);
  EXPECT_EQ(a.lowerLimit(), b.lowerLimit());
  EXPECT_EQ(a.upperLimit(), b.upperLimit());
  EXPECT_EQ(a.envelope().x, b.envelope().x);
  EXPECT_EQ(a.logHatArea(), b.logHatArea());
  for (int i = 0; i < 200; ++i) ASSERT_EQ(a.sample(), b.sample()) << "draw " << i;
  EXPECT_EQ(a.counts().evaluations, b.counts().evaluations);
}

// Updates that throw, each for another reason: a start outside the support,
// an empty function, a bad support, h NaN, h throwing, a proof of
// non-concavity, a density not integrable, a density zero everywhere.
std::vector<std::function<void(ars::LogConcaveSampler&, bool warm)>> failingUpdates() {
  using S = ars::LogConcaveSampler;
  const auto call = [](S& s, bool warm, S::LogDensity h, double lo, double hi, std::vector<double> starts) {
    if (warm) {
      s.warmReset(std::move(h), lo, hi, starts);
    } else {
      s.reset(std::move(h), lo, hi, starts);
    }
  };
  return {
      [=](S& s, bool w) { call(s, w, normal, 0, 1, {5.0}); },
      [=](S& s, bool w) { call(s, w, nullptr, -inf, inf, {}); },
      [=](S& s, bool w) { call(s, w, normal, 1, 0, {}); },
      [=](S& s, bool w) { call(s, w, [](double x) { return x > 0.5 ? std::nan("") : -x * x; }, -inf, inf, {0.0}); },
      [=](S& s, bool w) {
        call(s, w, [](double x) -> double { if (x > 0.5) throw std::runtime_error("h failed"); return -x * x; },
             -inf, inf, {0.0});
      },
      [=](S& s, bool w) { call(s, w, [](double x) { return 0.5 * x * x; }, -inf, inf, {0.0}); },
      [=](S& s, bool w) { call(s, w, [](double x) { return x; }, 0, inf, {1.0}); },
      [=](S& s, bool w) { call(s, w, [](double) { return -inf; }, -10, 10, {}); },
  };
}

TEST(FailedCalls, AFailedResetOrWarmUpdateLeavesTheSamplerAsItWas) {
  const auto updates = failingUpdates();
  for (bool warm : {false, true}) {
    for (std::size_t k = 0; k < updates.size(); ++k) {
      SCOPED_TRACE((warm ? "warmReset, case " : "reset, case ") + std::to_string(k));
      ars::LogConcaveSampler s(normal, -inf, inf, {0.3}, 17);
      // A sampler in the middle of a chain: warm memory, a table, points
      // added by draws that no build has taken in yet.
      for (int i = 0; i < 5; ++i) {
        s.warmReset([i](double x) { return -0.5 * (x - 0.1 * i) * (x - 0.1 * i); }, -inf, inf, {0.0});
        s.sample();
      }
      std::vector<double> batch(3000);
      s.sample(batch.data(), batch.size());
      ars::LogConcaveSampler before = s;
      EXPECT_ANY_THROW(updates[k](s, warm));
      expectSame(s, before);
      // And the next warm update goes as it would have gone.
      const auto next = [](double x) { return -0.5 * (x - 0.6) * (x - 0.6); };
      s.warmReset(next, -inf, inf, {0.5});
      before.warmReset(next, -inf, inf, {0.5});
      expectSame(s, before);
    }
  }
}

TEST(FailedCalls, AFailedUpdateFromAStartOutsideTheSupportStillDraws) {
  ars::LogConcaveSampler s(normal, -inf, inf, {}, 3);
  s.sample();
  EXPECT_THROW(s.warmReset(normal, 0, 1, {5.0}), std::invalid_argument);
  for (int i = 0; i < 100; ++i) EXPECT_NO_THROW(s.sample());
}

TEST(FailedCalls, MessagesNameANanWithoutASign) {
  EXPECT_EQ(ars::detail::number(-std::nan("")), "nan");
  EXPECT_EQ(ars::detail::number(std::nan("")), "nan");
  EXPECT_EQ(ars::detail::number(-inf), "-inf");
  // A NaN whose sign bit is set, as 0 * -inf and inf - inf give on x86.
  const double negativeNan = -std::numeric_limits<double>::quiet_NaN();
  ASSERT_TRUE(std::signbit(negativeNan));
  for (double at : {0.0, 2.0}) {
    try {
      ars::LogConcaveSampler s([&](double x) { return x >= at ? negativeNan : -x * x; }, -inf, inf, {-1.0}, 1);
      for (int i = 0; i < 1000; ++i) s.sample();
      ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
      const std::string what = e.what();
      EXPECT_EQ(what.find("-nan"), std::string::npos) << what;
      EXPECT_NE(what.find("logDensity is nan at"), std::string::npos) << what;
    }
  }
}

}  // namespace
