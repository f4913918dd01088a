// The bit-exact sampler's envelope on the plot: its points and last
// candidate, the upper hull and the squeeze, on the curve's vertical scale
// (log or shifted exponential by logOffset).
#pragma once

#include <cstdint>
#include <limits>

#include "display/envelope_shape.h"

class Canvas;
struct PlotMapping;
struct Rect;

// How the pieces are traced: by default the classic way, each whole piece
// in steps of 0.01 data units on the normal scale. A density of any location
// and scale needs the part of each piece in view, one step per pixel: its
// pieces may be a billion units wide or a millionth.
struct EnvelopeTrace {
  double step = 0.01;
  double from = -std::numeric_limits<double>::infinity();
  double to = std::numeric_limits<double>::infinity();
};

// The part of the x range in view (with a margin beyond the frame), one step per pixel.
EnvelopeTrace traceInView(const PlotMapping& mapping, const Rect& frame);

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
