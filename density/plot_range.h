#pragma once
// The x range on which a typed density is plotted: its support, with each
// unbounded end cut where the tail beyond holds less than tailMass of the
// mass (as far as a fine grid can tell).
#include <functional>
#include <vector>

#include "sampler/ars.h"

struct PlotRange {
  double xMin = 0.0;
  double xMax = 1.0;
};

// Where the sampler's search for starting points succeeded, its points show
// where the density lives; otherwise pass none and the range is explored
// outward from the highest of a spread of trial points.
PlotRange plotRange(const std::function<double(double)>& logDensity, double lower, double upper,
                    const std::vector<HullPoint>& knownPoints);

constexpr double plotTailMass = 1e-4;
