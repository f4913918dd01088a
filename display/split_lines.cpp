#include "display/split_lines.h"

#include <algorithm>

#include "display/plot_colors.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

void drawSplitLines(Canvas& canvas, const PlotMapping& mapping, const Rect& frame, const std::vector<double>& splits,
                    double scale) {
  if (splits.empty()) return;
  const int dash = scaledPixels(6, scale);
  const int gap = scaledPixels(4, scale);
  // Twice the curve's width: seen from the back of a hall, over the darts.
  canvas.setPenWidth(2 * scaledPixels(1, scale));
  PenSelection pen(canvas, PlotColor::split);
  for (const double s : splits) {
    const int x = wholePixelX(mapping, s);
    if (x < frame.left || x >= frame.right) continue;
    // From the axis up, so that every line starts with a dash where x is read.
    for (int y = frame.bottom - 1; y > frame.top; y -= dash + gap) {
      canvas.moveTo(x, y);
      canvas.lineTo(x, std::max(y - dash, frame.top));
    }
  }
  canvas.setPenWidth(scaledPixels(1, scale));
}
