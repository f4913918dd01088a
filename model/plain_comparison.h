#pragma once
// Plain rejection beside the adaptive sampler: as many darts as the last
// throw, under one constant envelope over the plotted range.
#include <cstddef>

struct WindowModel;

// Plain rejection stops after this many candidates for each dart wanted.
constexpr std::size_t maxCandidatesPerDart = 200;

// Whether both ends of the density's support are finite.
bool supportIsBounded(const WindowModel& model);
// Whether the picture shows the two panels: not over stepping or a proof.
bool comparisonShown(const WindowModel& model);
// After a full throw of darts: plain rejection's candidates over the plotted
// range until as many are accepted, shown beside the darts.
void throwPlainComparison(WindowModel& model);
