#include "model/typed_sampler.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "sampler/ars_density.h"
#include "sampler/ars.h"
#include "sampler/starting_point_search.h"

namespace {

// Below the highest point by more than this, a point holds no mass a double
// can tell from none.
constexpr double negligibleDrop = 1000.0;

// The search keeps every point it evaluated, far out ones too, whose log
// values (to -1e212 for a Gumbel law at scale 1e-6) leave the hull's
// intersections no correct digit. The points that remain still bound a
// log-concave density from above: the hull's tails extend their secants.
std::vector<HullPoint> withoutNegligible(const std::vector<HullPoint>& points) {
  double top = -std::numeric_limits<double>::infinity();
  for (const HullPoint& p : points) top = std::max(top, p.h);
  std::vector<HullPoint> kept;
  for (const HullPoint& p : points) {
    if (p.h >= top - negligibleDrop) kept.push_back(p);
  }
  return kept.size() >= 3 ? kept : points;
}

}  // namespace

void prepareTypedSampler(ARSSampler& sampler, ARSDensity& density, double lower, double upper) {
  sampler.clear();
  sampler.reset();
  const StartingPointSearch search([&density](double x) { return density.logDensity(x); }, lower,
                                   upper, {});
  sampler.density = &density;
  sampler.lowerLimit = search.lowerLimit();
  sampler.upperLimit = search.upperLimit();
  sampler.keepPoints = true;
  sampler.minSlopeGap = 0.0;
  sampler.areaTolerance = 1e-5;
  sampler.stableInversion = true;
  sampler.points = withoutNegligible(search.points());
  sampler.counts.evaluations = search.evaluations();
}

void restoreProgramSettings(ARSSampler& sampler) {
  const ARSSampler constructed;
  sampler.minSlopeGap = constructed.minSlopeGap;
  sampler.areaTolerance = constructed.areaTolerance;
  sampler.stableInversion = constructed.stableInversion;
}
