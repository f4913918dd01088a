#pragma once
// The darts of the last throw, at their plotted heights, and plain
// rejection's candidates when compared with it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/plain_rejection.h"

// The last throw, as it ended.
struct ThrowSummary {
  std::size_t darts = 0;
  std::uint64_t candidates = 0;
  std::uint64_t evaluations = 0;
  std::size_t points = 0;
};

struct DartsState {
  std::vector<double> x;
  std::vector<double> y;
  bool thrown = false;
  std::int32_t count = 5000;
  ThrowSummary lastThrow;
  bool comparing = false;
  PlainRejection plain;
};
