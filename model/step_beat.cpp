#include "model/step_beat.h"

#include "model/window_model.h"

void rememberEnvelope(StepBeat& beat, const ARSSampler& sampler) {
  beat.points.assign(sampler.points.begin(), sampler.points.end());
  beat.segments.assign(sampler.segments.begin(), sampler.segments.end());
}

bool candidateBeatShown(const WindowModel& model) {
  const SteppingState& stepping = model.stepping;
  // A typed density's stepper keeps no envelope behind its candidate: one beat.
  return model.view.twoBeats && stepping.active && stepping.beat.candidateShown && !model.density.isOther() &&
         model.sampler.hasLastDraw;
}

EnvelopeShape shownEnvelope(const WindowModel& model) {
  if (!candidateBeatShown(model)) return samplerEnvelope(model.sampler);
  return EnvelopeShape{model.stepping.beat.points, model.stepping.beat.segments};
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
