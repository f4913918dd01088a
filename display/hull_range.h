#pragma once
// The upper hull over a range of abscissae, for a vertical range that holds
// it: its highest log value there, and where it rises above a level (to mark
// where the picture cuts it).
#include <vector>

#include "sampler/ars.h"
#include "sampler/envelope_piece.h"
#include "sampler/transformed_line.h"

// The hull's highest log value over [xMin, xMax]; -infinity without a hull.
// The same for a typed density's pieces, lines in T(f) under `transform`.
double hullTop(const std::vector<EnvelopeSegment>& segments, double xMin, double xMax);
double hullTop(const std::vector<ars::detail::EnvelopePiece>& pieces, ars::Transform transform, double xMin,
               double xMax);

struct HullCut {
  double left;
  double right;
};
// The stretches of [xMin, xMax] where the hull's log value exceeds `level`.
std::vector<HullCut> hullAbove(const std::vector<EnvelopeSegment>& segments, double xMin, double xMax, double level);
std::vector<HullCut> hullAbove(const std::vector<ars::detail::EnvelopePiece>& pieces, ars::Transform transform,
                               double xMin, double xMax, double level);
