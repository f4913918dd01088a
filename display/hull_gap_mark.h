#pragma once
// Where the density rises above the upper hull (hull_gaps.h), in the proof's
// colour: upright strokes from the hull up to the curve, the part of the
// density the envelope leaves out, and a bar along the axis under each
// stretch, so that a gap only a pixel high is still seen.
#include <functional>
#include <vector>

#include "display/envelope_pen.h"
#include "display/hull_range.h"
#include "sampler/envelope_piece.h"
#include "sampler/transformed_line.h"

void drawHullGaps(Canvas& canvas, const envelope_pen::Scale& heights, const PlotMapping& mapping, const Rect& frame,
                  const std::vector<HullCut>& gaps, const std::vector<ars::detail::EnvelopePiece>& pieces,
                  ars::Transform transform, const std::function<double(double)>& logDensity, double scale);
