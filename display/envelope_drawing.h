// The bit-exact sampler's envelope on the plot: its points and last
// candidate, the upper hull and the squeeze, on the curve's vertical scale
// (log or shifted exponential by logOffset).
#pragma once

#include <cstdint>

class ARSSampler;
class Canvas;
struct PlotMapping;

void drawAbscissae(Canvas& canvas, const ARSSampler& sampler, const PlotMapping& mapping,
                   std::uint32_t color, bool logScale, double logOffset);
void drawUpperHull(Canvas& canvas, const ARSSampler& sampler, const PlotMapping& mapping,
                   std::uint32_t color, bool logScale, double logOffset);
void drawSqueeze(Canvas& canvas, const ARSSampler& sampler, const PlotMapping& mapping,
                 std::uint32_t color, bool logScale, double logOffset);
