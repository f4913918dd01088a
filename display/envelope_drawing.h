// The bit-exact sampler's envelope on the plot: its points and last
// candidate, the upper hull and the squeeze, on the curve's vertical scale
// (log or shifted exponential by logOffset).
#pragma once

#include <cstdint>
#include <vector>

#include "display/envelope_pen.h"

#include "model/envelope_shape.h"

class Canvas;
struct PlotMapping;
struct Rect;

// The part of the x range in view (with a margin beyond the frame), one step per pixel.
EnvelopeTrace traceInView(const PlotMapping& mapping, const Rect& frame);

// Evaluated points as dots, and the last candidate (where given: its x and
// the log height of its dart) as a larger red one; tScale as the typed
// envelope's drawing takes it.
void drawEvaluatedPoints(Canvas& canvas, const std::vector<ars::detail::HullPoint>& points,
                         const ars::detail::HullPoint* candidate, const PlotMapping& mapping, std::uint32_t color,
                         bool logScale, double logOffset, bool tScale = false);
// The points; the classic candidate is drawLastDraw's.
void drawAbscissae(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                   std::uint32_t color, bool logScale, double logOffset);
// The sampler's last draw as a red dot outlined in `color`, when it has one.
void drawLastDraw(Canvas& canvas, const ARSSampler& sampler, const PlotMapping& mapping,
                  std::uint32_t color, bool logScale, double logOffset);
void drawUpperHull(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                   std::uint32_t color, bool logScale, double logOffset,
                   const EnvelopeTrace& trace = EnvelopeTrace{});
void drawSqueeze(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                 std::uint32_t color, bool logScale, double logOffset,
                 const EnvelopeTrace& trace = EnvelopeTrace{});
