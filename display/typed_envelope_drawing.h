#pragma once
// A typed density's envelope on the plot, from the library's path: its
// pieces, lines in the sampler's transformed scale T, drawn on the curve's
// vertical scale (log, or the shifted exponential by logOffset), each only
// where it lies within the trace (the part of the plot in view).
#include <cstdint>
#include <vector>

#include "display/envelope_pen.h"
#include "sampler/envelope_piece.h"
#include "sampler/transformed_line.h"

class Canvas;
struct PlotMapping;

// The log-density (up to the sampler's constant) whose T is t.
double logValueOfT(ars::Transform transform, double t);

// tScale: on the T scale (-1/sqrt(f / peak)) whatever logScale says.
void drawPiecewiseHull(Canvas& canvas, const std::vector<ars::detail::EnvelopePiece>& pieces,
                       ars::Transform transform, const PlotMapping& mapping, std::uint32_t color, bool logScale,
                       double logOffset, const EnvelopeTrace& trace, bool tScale = false);
// The squeeze, closed down to the axis at its two ends as the built-in kinds' is.
void drawPiecewiseSqueeze(Canvas& canvas, const std::vector<ars::detail::EnvelopePiece>& pieces,
                          ars::Transform transform, const PlotMapping& mapping, std::uint32_t color,
                          bool logScale, double logOffset, const EnvelopeTrace& trace, bool tScale = false);
