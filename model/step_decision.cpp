#include "model/step_decision.h"

#include <cmath>
#include <limits>

#include "model/window_model.h"

namespace {
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// The rejected candidate's point, as the sampler evaluated it.
double pointAt(const std::vector<HullPoint>& points, double x) {
  for (const HullPoint& p : points) {
    if (p.x == x) return p.h;
  }
  return notANumber;
}
}  // namespace

std::optional<StepDecision> lastDecision(const WindowModel& model) {
  const SteppingState& stepping = model.stepping;
  if (!stepping.active || stepping.stepsTaken == 0 || stepping.lastResult == StepResult::None) return std::nullopt;
  StepDecision d;
  d.result = stepping.lastResult;
  if (model.density.isOther()) {
    if (!model.typed || !model.typed->hasLastDraw()) return std::nullopt;
    const EnvelopeStepper::Decision& typed = model.typed->lastDecision();
    d.x = model.typed->lastX();
    d.dart = model.typed->lastLogY();
    d.hull = typed.hull;
    d.squeeze = typed.squeeze;
    d.logDensity = typed.logDensity;
    d.outsideLimits = d.result == StepResult::Rejection && std::isnan(d.logDensity);
    return d;
  }
  const ARSSampler& sampler = model.sampler;
  const std::vector<EnvelopeSegment>& segments = stepping.beat.segments;
  if (!sampler.hasLastDraw || sampler.lastSegment >= segments.size()) return std::nullopt;
  // The segment the candidate came from, in the envelope kept before the step.
  const EnvelopeSegment& s = segments[sampler.lastSegment];
  d.x = sampler.lastX;
  d.dart = sampler.lastLogY;
  d.hull = s.upperLeftY + (d.x - s.upperLeftX) * s.upperSlope;
  // The outer pieces carry no squeeze; the others as ARSSampler tests it.
  const bool inner = sampler.lastSegment > 0 && sampler.lastSegment + 1 < segments.size();
  d.squeeze = inner ? (d.x - s.squeezeLeftX) * s.squeezeSlope + s.squeezeLeftY : notANumber;
  d.logDensity = notANumber;
  if (d.result == StepResult::Rejection) {
    d.logDensity = pointAt(sampler.points, d.x);
    d.outsideLimits = !(d.x >= sampler.lowerLimit && d.x <= sampler.upperLimit);
    // Not kept as a point (a zero of the density, or a full set): the same
    // function the sampler evaluated gives the same value.
    if (std::isnan(d.logDensity) && !d.outsideLimits && sampler.density) {
      d.logDensity = sampler.density->logDensity(d.x);
    }
  } else if (d.result == StepResult::DensityAccept && sampler.density) {
    d.logDensity = sampler.density->logDensity(d.x);
  }
  return d;
}
