#include "model/proof_finding.h"

#include <optional>
#include <vector>

#include "model/refusal.h"
#include "model/window_model.h"

namespace {

std::optional<ProofHighlight> builtInProof(const ARSSampler& sampler) {
  if (sampler.density == nullptr) return std::nullopt;
  std::vector<HullPoint> set = sampler.points;
  const double x = sampler.lastX;
  const HullPoint candidate{x, sampler.density->logDensity(x)};
  auto at = set.begin();
  while (at != set.end() && at->x < x) ++at;
  set.insert(at, candidate);
  for (std::size_t j = 1; j + 1 < set.size(); ++j) {
    const HullPoint& a = set[j - 1];
    const HullPoint& b = set[j];
    const HullPoint& c = set[j + 1];
    if (!(a.x < b.x && b.x < c.x) || !ars::detail::belowChord(a, b, c)) continue;
    return ProofHighlight{a.x, a.h, b.x, b.h, c.x, c.h, "", false};
  }
  return std::nullopt;
}

}  // namespace

void findProof(WindowModel& model) {
  std::optional<ProofHighlight>& proof = model.stepping.proof;
  // A typed density's refusal was recorded with its proof.
  if (model.density.isOther()) {
    proof = model.density.refusalProof;
    return;
  }
  proof = builtInProof(model.sampler);
  if (proof) proof->sentence = proofSentence(*proof);
}
