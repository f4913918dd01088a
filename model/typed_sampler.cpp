#include "model/typed_sampler.h"

#include "sampler/ars_density.h"
#include "sampler/ars.h"
#include "sampler/starting_point_search.h"

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
  sampler.points = search.points();
  sampler.counts.evaluations = search.evaluations();
}

void restoreProgramSettings(ARSSampler& sampler) {
  const ARSSampler constructed;
  sampler.minSlopeGap = constructed.minSlopeGap;
  sampler.areaTolerance = constructed.areaTolerance;
  sampler.stableInversion = constructed.stableInversion;
}
