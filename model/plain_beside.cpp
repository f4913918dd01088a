#include "model/plain_beside.h"

#include "model/plain_comparison.h"
#include "model/sampler_in_use.h"
#include "model/window_model.h"

namespace {

// multiplier^n mod (2^31 - 1), by squaring.
constexpr std::int64_t power(std::int64_t n) {
  std::int64_t result = 1;
  std::int64_t base = UniformRandom::multiplier;
  for (; n > 0; n /= 2) {
    if (n % 2 == 1) result = result * base % UniformRandom::modulus;
    base = base * base % UniformRandom::modulus;
  }
  return result;
}

// A jump that is no simple fraction of the period, so that the stream is no
// mirror (1 - u) or shift of the adaptive sampler's own draws.
constexpr std::int64_t jump = power(1000000000);

}  // namespace

std::int32_t plainBesideState(std::int32_t start) {
  return UniformRandom::validState(static_cast<std::int64_t>(UniformRandom::validState(start)) * jump %
                                   UniformRandom::modulus);
}

bool plainBesideShown(const WindowModel& model) {
  return model.view.plainBeside && model.stepping.active && !model.curve.yValues.empty();
}

void updatePlainBeside(WindowModel& model) {
  PlainRejection& plain = model.stepping.plain;
  if (!plainBesideShown(model)) {
    plain.clear();
    return;
  }
  // Rebuilt from the stream's start each time: a step back, a new scale or
  // a replay all come out as the same run up to that step.
  UniformRandom stream = model.stepping.startRandom;
  stream.seed = stream.state = plainBesideState(model.stepping.startRandom.state);
  const std::size_t steps = static_cast<std::size_t>(model.stepping.stepsTaken);
  const CurveState& curve = model.curve;
  throwPlainRejection(plain, plainLogDensity(model), curve.xMin, curve.xMax, plainLogTop(model), steps, steps,
                      stream, plainPlotted(model));
  plain.rangeCutsSupport = !supportIsBounded(model);
}

BesideCounts plainCounts(const WindowModel& model) {
  const PlainRejection& plain = model.stepping.plain;
  return {plain.evaluations, plain.evaluations, plain.acceptedX.size()};
}

BesideCounts adaptiveCounts(const WindowModel& model) {
  const ars::SamplerCounts& counts = samplerCounts(model);
  return {counts.draws, counts.evaluations, model.stepping.acceptedX.size()};
}
