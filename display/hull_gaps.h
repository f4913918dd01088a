#pragma once
// Where a typed density's upper hull lies below the density itself: there
// the envelope is none, and the density is not concave under the sampler's
// transformation. The picture marks these stretches and the status line
// names them, as soon as the envelope shown has them.
#include <functional>
#include <vector>

#include "display/hull_range.h"
#include "sampler/envelope_piece.h"
#include "sampler/transformed_line.h"

struct WindowModel;

// The stretches of the grid (ascending abscissae) where the density rises
// above the hull by more than rounding, their ends found between the grid's
// points. Where no piece covers x the hull makes no claim.
std::vector<HullCut> hullBelowDensity(const std::vector<ars::detail::EnvelopePiece>& pieces, ars::Transform transform,
                                      const std::function<double(double)>& logDensity,
                                      const std::vector<double>& grid);

// The same for the envelope a typed density shows, over the curve's points
// within [xMin, xMax]; none for the built-in kinds or without an envelope.
std::vector<HullCut> shownHullGaps(const WindowModel& model, double xMin, double xMax);
