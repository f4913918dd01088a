#include "display/hull_gap_mark.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "display/plot_colors.h"
#include "display/typed_envelope_drawing.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

namespace {

double hullAt(const std::vector<ars::detail::EnvelopePiece>& pieces, ars::Transform transform, double x) {
  for (const ars::detail::EnvelopePiece& p : pieces) {
    if (p.left <= x && x <= p.right) return logValueOfT(transform, p.hull.at(x));
  }
  return -std::numeric_limits<double>::infinity();
}

int clampY(int y, const Rect& frame) { return std::clamp(y, frame.top, frame.bottom - 1); }

}  // namespace

void drawHullGaps(Canvas& canvas, const envelope_pen::Scale& heights, const PlotMapping& mapping, const Rect& frame,
                  const std::vector<HullCut>& gaps, const std::vector<ars::detail::EnvelopePiece>& pieces,
                  ars::Transform transform, const std::function<double(double)>& logDensity, double scale) {
  if (gaps.empty()) return;
  const int spacing = scaledPixels(4, scale);
  const int bar = scaledPixels(3, scale);
  PenSelection pen(canvas, PlotColor::proof);
  for (const HullCut& gap : gaps) {
    const int left = std::clamp(wholePixelX(mapping, gap.left), frame.left, frame.right - 1);
    const int right = std::clamp(wholePixelX(mapping, gap.right), frame.left, frame.right - 1);
    // Each stroke at the abscissa of its pixel, at least one in a stretch.
    for (int px = left; px <= right; px += spacing) {
      const double x = std::clamp(mapping.xMin + (px - mapping.originX) / mapping.scaleX, gap.left, gap.right);
      const int top = clampY(heights.wholeY(logDensity(x)), frame);
      const int bottom = clampY(heights.wholeY(hullAt(pieces, transform, x)), frame);
      if (bottom <= top) continue;
      canvas.moveTo(px, bottom);
      canvas.lineTo(px, top);
    }
    for (int i = 1; i <= bar; ++i) {
      canvas.moveTo(left, frame.bottom - i);
      canvas.lineTo(std::max(right, left + 1) + 1, frame.bottom - i);
    }
  }
}
