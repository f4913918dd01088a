#include "model/proof_finding.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "model/window_model.h"

namespace {

std::string fixed(double value, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", digits, value);
  return buffer;
}

std::string proofSentence(const ProofHighlight& p) {
  // Two decimals, or as many more as it takes to tell the three points apart.
  int digits = 2;
  while (digits < 8 && (fixed(p.belowX, digits) == fixed(p.leftX, digits) ||
                        fixed(p.belowX, digits) == fixed(p.rightX, digits))) {
    ++digits;
  }
  return "the density at x = " + fixed(p.belowX, digits) + " lies below the chord from " +
         fixed(p.leftX, digits) + " to " + fixed(p.rightX, digits) +
         " on the log scale, so it is not log-concave.";
}

}  // namespace

void findProof(WindowModel& model) {
  std::optional<ProofHighlight>& proof = model.stepping.proof;
  const ARSSampler& sampler = model.sampler;
  proof.reset();
  if (sampler.density == nullptr) return;
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
    if (!(a.x < b.x && b.x < c.x) || !ARSSampler::belowChord(a, b, c)) continue;
    ProofHighlight found;
    found.leftX = a.x;
    found.leftH = a.h;
    found.belowX = b.x;
    found.belowH = b.h;
    found.rightX = c.x;
    found.rightH = c.h;
    found.sentence = proofSentence(found);
    proof = found;
    return;
  }
}
