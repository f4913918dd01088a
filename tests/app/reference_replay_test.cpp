// Replays the commands of every golden file from a fresh start and compares
// the darts, stepping traces, envelopes, counts and random state to the last
// bit. These files were computed outside this code base and never change.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frontends/qt/main_window.h"
#include "support/fake_window.h"
#include "support/reference_file.h"

namespace {

std::string golden(const std::string& name) { return std::string(ARS_GOLDEN_DIR) + "/" + name; }

std::string show(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

#define EXPECT_BITS(expected, actual) EXPECT_EQ(show(expected), show(actual)) << #actual

class Replay {
 public:
  Replay() { app.attach(window); }

  // Runs "kind K | start | next x10 | ctrlg | throw | log" up to, not
  // including, the first token in stopAt.
  void run(const std::string& commands, bool skipNext = false) {
    std::string rest = commands;
    while (!rest.empty()) {
      const std::size_t bar = rest.find('|');
      const std::vector<std::string> w = ReferenceFile::words(rest.substr(0, bar));
      rest = bar == std::string::npos ? "" : rest.substr(bar + 1);
      if (w.empty()) continue;
      if (w[0] == "kind") app.command(120 + std::stoi(w[1]));
      else if (w[0] == "start") app.command(134);
      else if (w[0] == "ctrlg") app.command(137);
      else if (w[0] == "throw") app.command(133);
      else if (w[0] == "log") app.command(112);
      else if (w[0] == "next") {
        if (!skipNext) ADD_FAILURE() << "next is replayed step by step";
      } else {
        ADD_FAILURE() << "unknown command " << w[0];
      }
    }
  }

  const ARSDensity& density() const { return *app.model().sampler.density; }

  void expectEnvelope(ReferenceFile& file) {
    const ARSSampler& s = app.model().sampler;
    EXPECT_BITS(file.value("lowerLimit"), s.lowerLimit);
    EXPECT_BITS(file.value("upperLimit"), s.upperLimit);
    EXPECT_BITS(file.value("scaleOffset"), s.scaleOffset);
    EXPECT_BITS(file.value("totalArea"), s.totalArea);
    const std::size_t points = static_cast<std::size_t>(file.value("points"));
    ASSERT_EQ(s.points.size(), points);
    for (const HullPoint& p : s.points) {
      const auto w = file.expect("P ");
      EXPECT_BITS(ReferenceFile::number(w.at(0)), p.x);
      EXPECT_BITS(ReferenceFile::number(w.at(1)), p.h);
    }
    const std::size_t segments = static_cast<std::size_t>(file.value("segments"));
    ASSERT_EQ(s.segments.size(), segments);
    for (const EnvelopeSegment& g : s.segments) {
      const auto w = file.expect("S ");
      ASSERT_EQ(w.size(), 12u);
      const double fields[] = {g.upperLeftX,    g.upperLeftY,    g.upperRightX, g.upperRightY,
                               g.squeezeLeftX,  g.squeezeLeftY,  g.squeezeRightX,
                               g.squeezeRightY, g.upperSlope,    g.squeezeSlope,
                               g.area,          g.cumulativeArea};
      for (int f = 0; f < 12; ++f) EXPECT_BITS(ReferenceFile::number(w[f]), fields[f]) << " field " << f;
    }
  }

  FakeWindow window;
  MainWindow app;
};

std::string commandsOf(ReferenceFile& file) {
  const auto header = file.next();
  const std::string prefix = "# commands after start-up: ";
  EXPECT_EQ(header.compare(0, prefix.size(), prefix), 0) << header;
  return header.substr(prefix.size());
}

class SteppingReference : public testing::TestWithParam<const char*> {};

TEST_P(SteppingReference, TraceAndEnvelopesMatch) {
  ReferenceFile file(golden(GetParam()));
  Replay replay;
  replay.run(commandsOf(file), true);
  const ARSSampler& s = replay.app.model().sampler;
  file.expect("# envelope after start stepping");
  replay.expectEnvelope(file);
  file.expect("# steps:");
  while (file.peekStartsWith("T ")) {
    const auto w = file.expect("T ");
    const ars::SamplerCounts before = s.counts;
    replay.app.command(135);
    if (w.at(1) == "stopped") {
      EXPECT_FALSE(replay.app.model().stepping.active);
      EXPECT_EQ(replay.window.boxes.size(), 1u);
      EXPECT_EQ(w.at(2), "stepping=0");
      EXPECT_EQ(w.at(3), "messages=1");
      EXPECT_BITS(ReferenceFile::number(w.at(5)), s.lastX);
      continue;
    }
    SCOPED_TRACE("step " + w.at(0));
    EXPECT_EQ(replay.app.model().stepping.lastAccepted, w.at(1) == "1");
    EXPECT_BITS(ReferenceFile::number(w.at(2)), s.lastX);
    EXPECT_BITS(ReferenceFile::number(w.at(3)), s.lastLogY);
    EXPECT_EQ(s.points.size(), std::stoul(w.at(4)));
    EXPECT_EQ(s.lastSegment, std::stoul(w.at(5)));
    const std::string& by = w.at(6);
    EXPECT_EQ(s.counts.draws, before.draws + 1);
    EXPECT_EQ(s.counts.squeezeAccepts - before.squeezeAccepts, by == "squeeze" ? 1u : 0u);
    EXPECT_EQ(s.counts.densityAccepts - before.densityAccepts, by == "density" ? 1u : 0u);
    EXPECT_EQ(s.counts.rejections - before.rejections, by == "reject" ? 1u : 0u);
    EXPECT_TRUE(replay.window.boxes.empty());
  }
  file.expect("# envelope after 10 next steps");
  replay.expectEnvelope(file);
  if (file.peekStartsWith("# hasLastDraw")) {
    EXPECT_EQ(s.hasLastDraw, file.value("hasLastDraw") == 1);
    EXPECT_BITS(file.value("density_logZero"), replay.density().logZero);
  }
  EXPECT_EQ(replay.app.model().rnd.state, file.value("rnd_state_after"));
  EXPECT_TRUE(file.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Kinds, SteppingReference,
                         testing::Values("stepping_k1.txt", "stepping_k4.txt", "stepping_k6.txt"));

class CtrlGReference : public testing::TestWithParam<const char*> {};

TEST_P(CtrlGReference, StateAndEnvelopeMatch) {
  ReferenceFile file(golden(GetParam()));
  Replay replay;
  replay.run(commandsOf(file));
  const ARSSampler& s = replay.app.model().sampler;
  const auto state = file.expect("# stepping ");
  EXPECT_EQ(replay.app.model().stepping.active, state.at(0) == "1");
  EXPECT_EQ(state.at(1), "lastStepAccepted");
  EXPECT_EQ(replay.app.model().stepping.lastAccepted, state.at(2) == "1");
  EXPECT_EQ(replay.window.boxes.size(), replay.app.model().stepping.active ? 0u : 1u);
  EXPECT_EQ(s.counts.draws, file.value("draws"));
  EXPECT_BITS(file.value("lastX"), s.lastX);
  EXPECT_BITS(file.value("lastLogY"), s.lastLogY);
  EXPECT_EQ(replay.app.model().rnd.state, file.value("rnd_state_after"));
  file.expect("# envelope after the first accepted draw");
  replay.expectEnvelope(file);
  EXPECT_TRUE(file.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Kinds, CtrlGReference,
                         testing::Values("ctrlg_k1.txt", "ctrlg_k4.txt", "ctrlg_k6.txt"));

class DartsReference : public testing::TestWithParam<const char*> {};

TEST_P(DartsReference, EveryDartAndTheCountsMatch) {
  ReferenceFile file(golden(GetParam()));
  Replay replay;
  replay.run(commandsOf(file));
  const MainWindow& app = replay.app;
  const ARSSampler& s = app.model().sampler;
  EXPECT_EQ(app.model().density.kind, file.value("kind"));
  EXPECT_EQ(app.model().view.logScale ? "log" : "normal", file.expect("# scale ").at(0));
  EXPECT_BITS(file.value("curveLogOffset"), app.model().curve.logOffset);
  const std::string outcome = file.expect("# outcome ").at(0);
  EXPECT_EQ(replay.window.boxes.size(), outcome == "ok" ? 0u : 1u);
  const std::size_t darts = static_cast<std::size_t>(file.value("darts"));
  ASSERT_EQ(app.model().darts.x.size(), darts);
  ASSERT_EQ(app.model().darts.y.size(), darts);
  EXPECT_EQ(s.points.size(), file.value("final_points"));
  const auto stats = file.expect("# stats ");
  ASSERT_EQ(stats.size(), 12u);
  EXPECT_EQ(s.counts.draws, std::stoull(stats[1]));
  EXPECT_EQ(s.counts.squeezeAccepts, std::stoull(stats[3]));
  EXPECT_EQ(s.counts.densityAccepts, std::stoull(stats[5]));
  EXPECT_EQ(s.counts.rejections, std::stoull(stats[7]));
  EXPECT_EQ(s.counts.evaluations, std::stoull(stats[9]));
  EXPECT_EQ(darts, std::stoull(stats[11]));
  EXPECT_EQ(app.model().rnd.state, file.value("rnd_state_after"));
  if (file.peekStartsWith("# message ")) {
    file.next();
    ASSERT_EQ(replay.window.boxes.size(), 1u);
    EXPECT_EQ(replay.window.boxes[0].first, "Log-concavity assumption violated");
  }
  if (file.peekStartsWith("# thrown_at")) file.next();
  for (std::size_t i = 0; i < darts; ++i) {
    const auto w = ReferenceFile::words(file.next());
    ASSERT_EQ(w.size(), 2u);
    EXPECT_BITS(ReferenceFile::number(w[0]), app.model().darts.x[i]) << " dart " << i;
    EXPECT_BITS(ReferenceFile::number(w[1]), app.model().darts.y[i]) << " dart " << i;
    if (HasFailure()) break;
  }
  EXPECT_TRUE(file.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Kinds, DartsReference,
                         testing::Values("darts_k1_normal_second.txt", "darts_k4_log.txt",
                                         "darts_k6_normal.txt"));

}  // namespace
