#pragma once
// The points and pieces of an envelope as the stepping display draws them:
// the sampler's own, or a copy of the ones a candidate was drawn under.
#include <vector>

#include "sampler/ars.h"

struct EnvelopeShape {
  const std::vector<HullPoint>& points;
  const std::vector<EnvelopeSegment>& segments;
};

inline EnvelopeShape samplerEnvelope(const ARSSampler& sampler) {
  return EnvelopeShape{sampler.points, sampler.segments};
}
