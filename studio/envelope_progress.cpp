#include "studio/envelope_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "display/axis_ticks.h"
#include "model/sampler_in_use.h"
#include "model/window_model.h"
#include "studio/text_format.h"

namespace {

ProgressPoint pointOf(int step, const ProgressEntry& entry) {
  const double rate = entry.candidates > 0
                          ? static_cast<double>(entry.accepted) / static_cast<double>(entry.candidates)
                          : std::numeric_limits<double>::quiet_NaN();
  return {step, entry.squeezeShare, rate};
}

// The entries of the steps shown: the start, then one for each step.
std::vector<ProgressEntry> shownEntries(const WindowModel& model) {
  const SteppingState& stepping = model.stepping;
  std::vector<ProgressEntry> entries;
  if (!stepping.active) return entries;
  if (stepping.stepsTaken == 0) {
    const std::optional<EnvelopeSummary> summary = envelopeSummary(model);
    if (!summary) return entries;
    ProgressEntry start;
    start.squeezeShare = summary->squeezeShare;
    start.evaluations = summary->evaluations;
    entries.push_back(start);
    return entries;
  }
  entries.push_back(stepping.progressStart);
  const std::size_t shown = std::min(stepping.progress.size(), static_cast<std::size_t>(stepping.stepsTaken));
  entries.insert(entries.end(), stepping.progress.begin(), stepping.progress.begin() + static_cast<long>(shown));
  return entries;
}

const ARSDensity* densityShown(const WindowModel& model) {
  return model.density.isOther() ? model.density.otherDensity.get() : model.sampler.density;
}

std::string abscissa(const WindowModel& model, double x) {
  return model.density.isOther() ? valueAtResolution(x, model.curve.xMax - model.curve.xMin) : format("%.3f", x);
}

}  // namespace

std::vector<ProgressPoint> progressPoints(const WindowModel& model) {
  std::vector<ProgressPoint> points;
  const std::vector<ProgressEntry> entries = shownEntries(model);
  for (std::size_t k = 0; k < entries.size(); ++k) points.push_back(pointOf(static_cast<int>(k), entries[k]));
  return points;
}

std::optional<double> plainEvaluationsPerValue(const WindowModel& model) {
  const ARSDensity* density = densityShown(model);
  const double a = model.curve.xMin;
  const double b = model.curve.xMax;
  if (density == nullptr || !(b > a)) return std::nullopt;
  // The midpoint rule on a fine grid: plain rejection's box (as the
  // comparison draws it, 1% above the peak) against the area under f.
  constexpr int cells = 2000;
  std::vector<double> logs(cells);
  double top = -std::numeric_limits<double>::infinity();
  for (int i = 0; i < cells; ++i) {
    logs[static_cast<std::size_t>(i)] = density->logDensity(a + (b - a) * (i + 0.5) / cells);
    if (logs[static_cast<std::size_t>(i)] > top) top = logs[static_cast<std::size_t>(i)];
  }
  if (!std::isfinite(top)) return std::nullopt;
  double mean = 0.0;
  for (const double v : logs) mean += std::exp(v - top);
  mean /= cells;
  if (!(mean > 0)) return std::nullopt;
  return 1.01 / mean;
}

std::vector<std::string> progressLines(const WindowModel& model) {
  const std::vector<ProgressEntry> entries = shownEntries(model);
  if (entries.empty()) return {"Start stepping (Ctrl+S) to follow the envelope."};
  const ProgressEntry& last = entries.back();
  std::vector<std::string> lines;
  lines.push_back(format("Squeeze %.0f%% of hull area", 100.0 * last.squeezeShare));
  if (last.candidates > 0) {
    lines.push_back(format("Accepted %llu of %llu (%.0f%%)", static_cast<unsigned long long>(last.accepted),
                           static_cast<unsigned long long>(last.candidates),
                           100.0 * static_cast<double>(last.accepted) / static_cast<double>(last.candidates)));
  }
  const unsigned long long evaluations = last.evaluations;
  if (const std::optional<double> perValue = plainEvaluationsPerValue(model); perValue && last.accepted > 0) {
    const double plain = *perValue * static_cast<double>(last.accepted);
    const long long saved = std::llround(plain) - static_cast<long long>(evaluations);
    lines.push_back(format("Evaluations: %llu", evaluations));
    lines.push_back(format("plain rejection: about %.0f", plain));
    lines.push_back(saved > 0 ? format("saved: about %lld", saved) : std::string("saved: none yet"));
  } else {
    lines.push_back(format("Evaluations: %llu", evaluations));
  }
  // The latest accepted values, newest last.
  std::vector<std::string> accepted;
  for (std::size_t k = entries.size(); k-- > 1 && accepted.size() < 3;) {
    const StepResult r = entries[k].result;
    if (r == StepResult::SqueezeAccept || r == StepResult::DensityAccept) {
      accepted.insert(accepted.begin(), abscissa(model, entries[k].x));
    }
  }
  if (!accepted.empty()) {
    std::string list = last.accepted > accepted.size() ? "Last accepted:" : "Accepted:";
    for (const std::string& x : accepted) list += " " + x;
    lines.push_back(list);
  }
  return lines;
}
