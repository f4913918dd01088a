#pragma once
// The envelope's progress while stepping: the squeeze's share of the hull's
// area and the acceptance rate against the step number, the values accepted
// so far, and the evaluations saved against plain rejection.
#include <optional>
#include <string>
#include <vector>

struct WindowModel;

struct ProgressPoint {
  int step = 0;
  double squeezeShare = 0.0;
  // Accepted over candidates so far; NaN before the first candidate.
  double acceptance = 0.0;
};

// Step 0 (the start) to the step shown.
std::vector<ProgressPoint> progressPoints(const WindowModel& model);
// Candidates of plain rejection (one evaluation each) per accepted value:
// the box over the plotted range at the curve's peak against the density's
// area under it. None where it cannot be measured.
std::optional<double> plainEvaluationsPerValue(const WindowModel& model);
// The figures under the chart.
std::vector<std::string> progressLines(const WindowModel& model);
