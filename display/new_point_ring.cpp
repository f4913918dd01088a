#include "display/new_point_ring.h"

#include <cmath>

#include "platform/selection.h"

void drawNewPointRing(Canvas& canvas, int cx, int cy, int radius, Color color) {
  // Enough sides that the ring reads as round at a hall's sizes too.
  constexpr int sides = 32;
  const double turn = 2.0 * std::acos(-1.0) / sides;
  PenSelection pen(canvas, color);
  canvas.moveTo(cx + radius, cy);
  for (int i = 1; i <= sides; ++i) {
    canvas.lineTo(cx + static_cast<int>(std::lround(radius * std::cos(turn * i))),
                  cy + static_cast<int>(std::lround(radius * std::sin(turn * i))));
  }
}
