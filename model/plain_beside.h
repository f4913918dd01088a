#pragma once
// Plain rejection stepped beside the adaptive sampler: one candidate for
// each step taken, under the constant envelope of the comparison
// (plain_comparison.h). Its candidates come from a stream of their own,
// derived from the seed the stepping replays from, so the same lesson gives
// the same counts whatever ran before; a step back or a replay is the same
// run cut shorter.
#include <cstddef>
#include <cstdint>

struct WindowModel;

// The stream's start for stepping that began at random state `start`: the
// same generator a billion draws further on, far beyond any lesson's steps.
std::int32_t plainBesideState(std::int32_t start);
// Whether the picture shows the two live panels.
bool plainBesideShown(const WindowModel& model);
// Plain rejection's candidates brought to the steps taken (nothing while it is not shown).
void updatePlainBeside(WindowModel& model);

// The running counts of one panel.
struct BesideCounts {
  std::uint64_t candidates = 0;
  std::uint64_t evaluations = 0;
  std::size_t accepted = 0;
};
BesideCounts plainCounts(const WindowModel& model);
BesideCounts adaptiveCounts(const WindowModel& model);
