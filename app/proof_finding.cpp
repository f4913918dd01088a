// The proof behind a not-log-concave report: the sampler reports only when
// its points with the candidate added hold a point below the chord of its
// two neighbours. That triple, and a sentence a student can follow.
#include <cstdio>
#include <vector>

#include "app/main_window.h"

namespace {

std::string proofSentence(const ProofHighlight& p) {
  char buffer[256];
  // Two decimals unless they would make two of the points look alike.
  const int digits = (p.rightX - p.leftX) < 0.05 ? 4 : 2;
  std::snprintf(buffer, sizeof buffer,
                "the density at x = %.*f lies below the chord from %.*f to %.*f on the log scale, "
                "so it is not log-concave.",
                digits, p.belowX, digits, p.leftX, digits, p.rightX);
  return buffer;
}

}  // namespace

void MainWindow::findProof() {
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
