// The status line: what the picture shows, in words, after every command.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "density/density_kinds.h"
#include "display/axis_ticks.h"

namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, pattern, args...);
  return buffer;
}

std::string densityInWords(int kind) {
  const DensityKind& row = densityKindRow(kind);
  switch (row.instance) {
    case DensityInstance::Beta:
      return format("Beta density with alpha = %g and beta = %g", row.alpha, row.beta);
    case DensityInstance::Gamma:
      return format("Gamma density with shape %g and scale %g", row.alpha, row.beta);
    case DensityInstance::Test:
      break;
  }
  return "Test density, a posterior on (0, 1)";
}

// The chance that the next candidate is accepted without evaluating the
// density: the area under the squeeze over the area under the upper hull.
// The squeeze is the chords between neighbouring points (several hull
// segments can share one chord).
double squeezeShare(const ARSSampler& sampler) {
  const std::vector<HullPoint>& p = sampler.points;
  if (p.size() < 2 || sampler.segments.empty() || !(sampler.totalArea > 0)) return 0.0;
  double area = 0.0;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) area += sampler.pieceArea(p[i].x, p[i].h, p[i + 1].x, p[i + 1].h);
  return area / sampler.totalArea;
}

std::string whatTheStepDid(MainWindow::StepResult result, const std::string& x) {
  switch (result) {
    case MainWindow::StepResult::SqueezeAccept:
      return "accepted by the squeeze";
    case MainWindow::StepResult::DensityAccept:
      return "accepted after evaluating the density";
    case MainWindow::StepResult::Rejection:
      return "rejected: new point at x = " + x;
    case MainWindow::StepResult::None:
      break;
  }
  return "";
}

}  // namespace

std::string MainWindow::statusLine() const {
  if (proof) {
    const bool beforeAnyStep = proof->fromCurve;
    return (beforeAnyStep ? otherChoice.caption + ": " : format("Step %d: ", stepsTaken + 1)) + proof->sentence +
           (logScale ? "" : " Ctrl+L shows it on the log scale.");
  }
  if (densityKind == otherDensityKind && notLogConcaveShown && !stepping) {
    return otherChoice.caption + ": " + otherDensityReport();
  }
  if (comparing && !stepping) return comparisonStatus();
  std::string animation;
  if (animating) {
    animation = format(" Animating: %g steps a second (+ faster, \xe2\x88\x92 slower, Space stops).",
                       std::round(10000.0 / animationInterval()) / 10);
  }
  if (notLogConcaveShown && !stepping) {
    return densityInWords(densityKind) + " is not log-concave: the sampler refuses it.";
  }
  if (stepping) {
    if (sampler.segments.empty()) return "Choosing starting points\xe2\x80\xa6";
    const std::string envelope =
        format("%zu points, %llu evaluations, squeeze %.0f%% of the envelope.",
               sampler.points.size(), static_cast<unsigned long long>(sampler.counts.evaluations),
               100.0 * squeezeShare(sampler));
    // A typed density may lie at any scale: its new point gets the digits its range needs.
    const std::string newPointText = densityKind == otherDensityKind
                                         ? valueAtResolution(sampler.lastX, plotXMax - plotXMin)
                                         : format("%.3f", sampler.lastX);
    if (stepsTaken == 0 || lastStepResult == StepResult::None) {
      return "Start: " + envelope + " Ctrl+N draws a candidate." + animation;
    }
    return format("Step %d: ", stepsTaken) + whatTheStepDid(lastStepResult, newPointText) + ". " +
           envelope + candidateOutsideNote() + animation;
  }
  if (!dartX.empty()) {
    const double rate = lastThrow.candidates > 0
                            ? 100.0 * static_cast<double>(lastThrow.darts) / static_cast<double>(lastThrow.candidates)
                            : 0.0;
    return format("%zu darts from %llu candidates (%.1f%% accepted), %llu evaluations, %zu points at the end.",
                  lastThrow.darts, static_cast<unsigned long long>(lastThrow.candidates), rate,
                  static_cast<unsigned long long>(lastThrow.evaluations), lastThrow.points);
  }
  if (densityKind == otherDensityKind) return otherChoice.caption + ".";
  return densityInWords(densityKind) + ".";
}
