#include "display/dots.h"

#include <algorithm>

#include "platform/selection.h"

void drawDots(Canvas& canvas, const PlotMapping& mapping, const std::vector<double>& xs,
              const std::vector<double>& ys, Color color) {
  PenSelection pen(canvas, color);
  BrushSelection brush(canvas, color);
  const std::size_t count = std::min(xs.size(), ys.size());
  for (std::size_t i = 0; i < count; ++i) {
    const int px = wholePixelX(mapping, xs[i]);
    const int py = wholePixelY(mapping, ys[i]);
    canvas.ellipse(px - 1, py - 1, px + 1, py + 1);
  }
}
