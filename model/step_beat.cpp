#include "model/step_beat.h"

#include "model/sampler_in_use.h"
#include "model/window_model.h"

void rememberEnvelope(StepBeat& beat, const ARSSampler& sampler) {
  beat.points.assign(sampler.points.begin(), sampler.points.end());
  beat.segments.assign(sampler.segments.begin(), sampler.segments.end());
}

void rememberEnvelope(StepBeat& beat, const EnvelopeStepper& typed) {
  beat.typedPoints.assign(typed.points().begin(), typed.points().end());
  beat.typedPieces = typed.pieces();
}

bool candidateBeatShown(const WindowModel& model) {
  const SteppingState& stepping = model.stepping;
  return model.view.twoBeats && stepping.active && stepping.beat.candidateShown && lastCandidate(model).has_value();
}

EnvelopeShape shownEnvelope(const WindowModel& model) {
  if (!candidateBeatShown(model)) return samplerEnvelope(model.sampler);
  return EnvelopeShape{model.stepping.beat.points, model.stepping.beat.segments};
}

const std::vector<HullPoint>& shownTypedPoints(const WindowModel& model) {
  if (candidateBeatShown(model)) return model.stepping.beat.typedPoints;
  return envelopePoints(model);
}

std::vector<ars::detail::EnvelopePiece> shownTypedPieces(const WindowModel& model) {
  if (!model.typed) return {};
  if (candidateBeatShown(model)) return model.stepping.beat.typedPieces;
  return model.typed->pieces();
}

std::optional<HullPoint> pointJustAdded(const WindowModel& model) {
  const SteppingState& stepping = model.stepping;
  const std::optional<LastCandidate> candidate = lastCandidate(model);
  if (!(model.view.twoBeats && stepping.active && !stepping.beat.candidateShown && stepping.stepsTaken > 0 &&
        stepping.lastResult == StepResult::Rejection && candidate)) {
    return std::nullopt;
  }
  // The candidate's own height is the dart's, above the curve: the point lies on it.
  for (const HullPoint& point : envelopePoints(model))
    if (point.x == candidate->x) return point;
  return std::nullopt;
}

bool secondBeatDue(const WindowModel& model) {
  return candidateBeatShown(model) && model.stepping.lastResult == StepResult::Rejection;
}

bool firstBeatBehind(const WindowModel& model) {
  const SteppingState& stepping = model.stepping;
  return model.view.twoBeats && stepping.active && !stepping.beat.candidateShown && stepping.stepsTaken > 0 &&
         stepping.lastResult == StepResult::Rejection;
}

void showLastBeat(WindowModel& model) {
  SteppingState& stepping = model.stepping;
  stepping.beat.candidateShown = model.view.twoBeats && stepping.active && stepping.stepsTaken > 0 &&
                                 stepping.lastResult != StepResult::Rejection;
}
