#include "display/larger_dots_canvas.h"

void LargerDotsCanvas::ellipse(int left, int top, int right, int bottom) {
  // Each side moves out by the half-size it had: (l + r) / 2 stays the centre.
  const int growX = (right - left) / 2;
  const int growY = (bottom - top) / 2;
  target_.ellipse(left - growX, top - growY, right + growX, bottom + growY);
}
