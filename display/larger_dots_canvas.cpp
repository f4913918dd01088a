#include "display/larger_dots_canvas.h"

#include <cmath>

void LargerDotsCanvas::ellipse(int left, int top, int right, int bottom) {
  // Each side moves out by what the half-size gains: (l + r) / 2 stays the
  // centre, and a factor of 2 doubles the box exactly.
  const int halfX = (right - left) / 2;
  const int halfY = (bottom - top) / 2;
  const int growX = static_cast<int>(std::lround(halfX * factor_)) - halfX;
  const int growY = static_cast<int>(std::lround(halfY * factor_)) - halfY;
  target_.ellipse(left - growX, top - growY, right + growX, bottom + growY);
}
