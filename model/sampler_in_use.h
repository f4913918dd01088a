#pragma once
// What the picture and the status line read of the sampler that serves the
// density shown: the bit-exact ARSSampler for a built-in kind, the envelope
// stepper for a typed density (none while it is refused).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sampler/hull_geometry.h"
#include "sampler/sampler_counts.h"

struct WindowModel;

// The last candidate and the log height of its dart.
struct LastCandidate {
  double x = 0.0;
  double logY = 0.0;
};

std::optional<LastCandidate> lastCandidate(const WindowModel& model);

// The envelope as the status line counts it.
struct EnvelopeSummary {
  std::size_t points = 0;
  std::uint64_t evaluations = 0;
  // The chance that the next candidate is accepted without evaluating the
  // density: the area under the squeeze over the area under the upper hull.
  double squeezeShare = 0.0;
};
// None before the sampler has an envelope.
std::optional<EnvelopeSummary> envelopeSummary(const WindowModel& model);
// The counts of the sampler in use (zeros for a refused typed density).
const ars::SamplerCounts& samplerCounts(const WindowModel& model);
// The envelope's points (none without one).
const std::vector<ars::detail::HullPoint>& envelopePoints(const WindowModel& model);
