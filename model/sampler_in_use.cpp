#include "model/sampler_in_use.h"

#include "model/window_model.h"

namespace {

// The squeeze is the chords between neighbouring points (several hull
// segments can share one chord).
double squeezeShare(const ARSSampler& sampler) {
  const std::vector<HullPoint>& p = sampler.points;
  if (p.size() < 2 || sampler.segments.empty() || !(sampler.totalArea > 0)) return 0.0;
  double area = 0.0;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) area += sampler.pieceArea(p[i].x, p[i].h, p[i + 1].x, p[i + 1].h);
  return area / sampler.totalArea;
}

}  // namespace

std::optional<LastCandidate> lastCandidate(const WindowModel& model) {
  if (model.density.isOther()) {
    if (!model.typed || !model.typed->hasLastDraw()) return std::nullopt;
    return LastCandidate{model.typed->lastX(), model.typed->lastLogY()};
  }
  if (!model.sampler.hasLastDraw) return std::nullopt;
  return LastCandidate{model.sampler.lastX, model.sampler.lastLogY};
}

const std::vector<ars::detail::HullPoint>& envelopePoints(const WindowModel& model) {
  static const std::vector<ars::detail::HullPoint> none;
  if (model.density.isOther()) return model.typed ? model.typed->points() : none;
  return model.sampler.points;
}

const ars::SamplerCounts& samplerCounts(const WindowModel& model) {
  static const ars::SamplerCounts none{};
  if (model.density.isOther()) return model.typed ? model.typed->counts() : none;
  return model.sampler.counts;
}

std::optional<EnvelopeSummary> envelopeSummary(const WindowModel& model) {
  if (model.density.isOther()) {
    if (!model.typed) return std::nullopt;
    const EnvelopeStepper& typed = *model.typed;
    return EnvelopeSummary{typed.points().size(), typed.counts().evaluations, typed.squeezeShare()};
  }
  const ARSSampler& sampler = model.sampler;
  if (sampler.segments.empty()) return std::nullopt;
  return EnvelopeSummary{sampler.points.size(), sampler.counts.evaluations, squeezeShare(sampler)};
}
