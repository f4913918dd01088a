#include "model/refusal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "model/reports.h"
#include "model/window_model.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

std::string fixed(double value, int digits) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", digits, value);
  return buffer;
}

using ars::detail::HullPoint;

// Three neighbouring points whose middle lies below the chord of the other
// two on the log scale (a zero between positive values among them): the
// first such, preferring a zero, which the plot cannot show as a proof.
std::optional<std::array<HullPoint, 3>> provingTriple(std::vector<HullPoint> points) {
  std::sort(points.begin(), points.end(), [](const HullPoint& a, const HullPoint& b) { return a.x < b.x; });
  const auto sameX = [](const HullPoint& a, const HullPoint& b) { return a.x == b.x; };
  points.erase(std::unique(points.begin(), points.end(), sameX), points.end());
  std::optional<std::array<HullPoint, 3>> below;
  for (std::size_t j = 1; j + 1 < points.size(); ++j) {
    const HullPoint& a = points[j - 1];
    const HullPoint& b = points[j];
    const HullPoint& c = points[j + 1];
    if (!(a.h > -infinity && c.h > -infinity)) continue;
    if (b.h == -infinity) return std::array<HullPoint, 3>{a, b, c};
    if (!below && ars::detail::belowChord(a, b, c)) below = std::array<HullPoint, 3>{a, b, c};
  }
  return below;
}

// The library says why in its own words; the window names the three points
// that prove it where the sampler's evaluations hold them.
void refusalWithoutPoints(DensityState& d, const ars::NotLogConcave& report, const std::vector<HullPoint>& evaluated) {
  const std::optional<std::array<HullPoint, 3>> triple = provingTriple(evaluated);
  if (!triple) {
    d.refusal = std::string("the sampler refuses it: ") + report.what() + ".";
    return;
  }
  const auto& q = *triple;
  ProofHighlight proof{q[0].x, q[0].h, q[1].x, q[1].h, q[2].x, q[2].h, "", false};
  if (q[1].h == -infinity) {
    int digits = 2;
    while (digits < 12 &&
           (fixed(q[1].x, digits) == fixed(q[0].x, digits) || fixed(q[1].x, digits) == fixed(q[2].x, digits))) {
      ++digits;
    }
    d.refusal = "the density is zero at x = " + fixed(q[1].x, digits) + " between positive values at " +
                fixed(q[0].x, digits) + " and " + fixed(q[2].x, digits) + ", so it is not log-concave.";
    return;
  }
  proof.sentence = proofSentence(proof);
  d.refusal = proof.sentence;
  d.refusalProof = proof;
}

}  // namespace

void visibleRange(const FormulaDensity& d, double& xMin, double& xMax, double logDrop) {
  constexpr int n = 400;
  for (int round = 0; round < 4; ++round) {
    const double step = (xMax - xMin) / n;
    double top = -infinity;
    for (int i = 0; i <= n; ++i) {
      const double h = d.logDensity(xMin + step * i);
      if (std::isfinite(h)) top = std::max(top, h);
    }
    double from = xMax;
    double to = xMin;
    for (int i = 0; i <= n; ++i) {
      const double x = xMin + step * i;
      const double h = d.logDensity(x);
      if (std::isfinite(h) && h >= top - logDrop) {
        from = std::min(from, x);
        to = std::max(to, x);
      }
    }
    if (!(from <= to)) break;
    const double newMin = std::max(xMin, from - step);
    const double newMax = std::min(xMax, to + step);
    if (newMax - newMin > 0.9 * (xMax - xMin)) break;
    xMin = newMin;
    xMax = newMax;
  }
}

std::string proofSentence(const ProofHighlight& p) {
  // Two decimals, or as many more as it takes to tell the three points apart
  // (a density at a scale of 1e-6 needs some ten).
  int digits = 2;
  while (digits < 12 && (fixed(p.belowX, digits) == fixed(p.leftX, digits) ||
                         fixed(p.belowX, digits) == fixed(p.rightX, digits))) {
    ++digits;
  }
  return "the density at x = " + fixed(p.belowX, digits) + " lies below the chord from " +
         fixed(p.leftX, digits) + " to " + fixed(p.rightX, digits) +
         " on the log scale, so it is not log-concave.";
}

void recordRefusal(DensityState& d, const ars::NotLogConcave& report,
                   const std::vector<ars::detail::HullPoint>& evaluated) {
  d.refusedNotIntegrable = report.reason() == ars::NotLogConcave::Reason::NotIntegrable;
  d.refusalProof.reset();
  if (d.refusedNotIntegrable) {
    d.refusal =
        "its tail does not fall off fast enough towards infinity: the density is not integrable "
        "there (or not log-concave far out).";
    return;
  }
  if (!report.hasPoints()) {
    refusalWithoutPoints(d, report, evaluated);
    return;
  }
  const auto& q = report.points();
  ProofHighlight proof{q[0].x, q[0].h, q[1].x, q[1].h, q[2].x, q[2].h, "", false};
  proof.sentence = proofSentence(proof);
  d.refusal = proof.sentence;
  d.refusalProof = proof;
}

void refuse(WindowModel& model, Reports& reports) {
  model.stepping.notLogConcaveShown = true;
  DensityState& d = model.density;
  // Refused before an envelope was shown: the recorded three points are the proof on screen.
  if (d.isOther() && !model.stepping.proof && d.refusalProof) {
    model.stepping.proof = d.refusalProof;
    model.stepping.proof->fromCurve = true;
  }
  reports.refused();
}

std::string otherDensityReport(const DensityState& density) {
  return density.refusal.empty() ? "the sampler refuses it." : density.refusal;
}

bool refusedAsNotIntegrable(const DensityState& density) { return density.refusedNotIntegrable; }
