#include "display/hull_cut_mark.h"

#include <algorithm>

#include "display/plot_colors.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

void drawHullCuts(Canvas& canvas, const PlotMapping& mapping, const Rect& frame, const std::vector<HullCut>& cuts,
                  double scale) {
  if (cuts.empty()) return;
  const int tooth = scaledPixels(4, scale);
  const int depth = scaledPixels(3, scale);
  PenSelection pen(canvas, PlotColor::upperHull);
  for (const HullCut& cut : cuts) {
    const int left = std::clamp(wholePixelX(mapping, cut.left), frame.left, frame.right - 1);
    const int right = std::clamp(wholePixelX(mapping, cut.right), frame.left, frame.right - 1);
    // At least one tooth, so that a narrow cut is still seen.
    const int end = std::max(right, left + tooth);
    canvas.moveTo(left, frame.top);
    for (int x = left, i = 1; x < end; x += tooth, ++i) {
      canvas.lineTo(std::min(x + tooth, end), frame.top + (i % 2) * depth);
    }
  }
}
