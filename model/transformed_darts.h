#pragma once
// A typed density sampled under a transformation or with split points
// (ars::TConcaveSampler), drawing from the window's own random source so
// that a seed replays the same darts.
#include <vector>

#include "sampler/ars.h"

class FormulaDensity;
struct DensityChoice;
struct WindowModel;

// The points a new sampler evaluates to build its first hat, which show
// where the density lives. Throws ars::NotLogConcave when they prove the
// density not concave under the transformation (or a piece neither concave
// nor convex), std::invalid_argument for values it cannot use.
std::vector<HullPoint> transformedStartPoints(const FormulaDensity& density, const DensityChoice& choice);

// A throw of model.darts.count darts, each at the height of one more uniform
// under the density; throws as transformedStartPoints, or std::runtime_error
// for a hat that holds next to none of the density.
void throwTransformedDarts(WindowModel& model);
