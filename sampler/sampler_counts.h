#pragma once
#include <cstdint>

namespace ars {

// What a sampler has done since its point set was last cleared. Counting
// never changes a draw: it only observes.
struct SamplerCounts {
  std::uint64_t draws = 0;           // candidates drawn from the envelope
  std::uint64_t squeezeAccepts = 0;  // accepted without evaluating the density
  std::uint64_t densityAccepts = 0;  // accepted after evaluating the density
  std::uint64_t rejections = 0;      // rejected candidates
  std::uint64_t evaluations = 0;     // calls of logDensity, starting points included
  // Candidates whose density value lay above the hull though the points did
  // not prove h non-log-concave: the hull was too low there and is refined.
  std::uint64_t hullRepairs = 0;
};

}  // namespace ars

// The 1.x global name, for code that asks for it.
#ifdef ARS_GLOBAL_NAMES
using SamplerCounts = ars::SamplerCounts;
#endif
