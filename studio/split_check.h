#pragma once
// Split points judged as split points: at each, T(f) must turn between
// concave and convex, as the sampler's pieces between split points assume.
// A point where it keeps one shape splits nothing and is refused by name,
// in the dialog and in lessons alike.
#include <functional>
#include <string>
#include <vector>

#include "sampler/transformed_line.h"

// "" when T(f) changes its bend at every split point, or why not for the
// first that it does not change at. `width` is the span the density shows
// (its plotted range): a point within a hundredth of it from where the bend
// changes still counts, as a split typed to a few digits must.
std::string splitPointProblem(const std::function<double(double)>& logDensity, ars::Transform transform,
                              const std::vector<double>& splits, double lower, double upper, double width);
