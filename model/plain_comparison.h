#pragma once
// Plain rejection beside the adaptive sampler: as many darts as the last
// throw, under one constant envelope over the plotted range.
#include <cstddef>
#include <functional>

struct WindowModel;

// Plain rejection stops after this many candidates for each dart wanted.
constexpr std::size_t maxCandidatesPerDart = 200;

// Whether both ends of the density's support are finite.
bool supportIsBounded(const WindowModel& model);
// Plain rejection's constant envelope: the log of its height, on the sampler's scale.
double plainLogTop(const WindowModel& model);
// The log density plain rejection evaluates, and the plotted height of a log value.
std::function<double(double)> plainLogDensity(const WindowModel& model);
std::function<double(double)> plainPlotted(const WindowModel& model);
// Whether the picture shows the two panels: not over stepping or a proof.
bool comparisonShown(const WindowModel& model);
// After a full throw of darts: plain rejection's candidates over the plotted
// range until as many are accepted, shown beside the darts.
void throwPlainComparison(WindowModel& model);
