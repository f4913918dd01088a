#include "display/proof_inset.h"

#include <algorithm>
#include <cmath>

#include "display/plot_colors.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

namespace {

// In the corner of the panel: what it is beside the plot it sits in.
const char* const insetLabel = "zoomed in";

double chordAt(const ProofHighlight& p, double x) {
  return p.leftH + (x - p.leftX) * ((p.rightH - p.leftH) / (p.rightX - p.leftX));
}

// A zoom around the point below the chord, on the log scale: the gap takes
// half the panel's height, and the panel is as wide as the chord takes to fall
// (or rise) through its height, but no wider than needed to show both
// neighbours. The gap may be a hundredth of the log densities' range.
class InsetScale {
 public:
  InsetScale(const Rect& area, const ProofHighlight& p) : area_(area) {
    const double onChord = chordAt(p, p.belowX);
    double gap = onChord - p.belowH;
    if (!(gap > 0.0)) gap = 1.0;
    hMin_ = p.belowH - gap / 2;
    hMax_ = onChord + gap / 2;
    const double slope = std::fabs((p.rightH - p.leftH) / (p.rightX - p.leftX));
    const double reach = 1.3 * std::max(p.belowX - p.leftX, p.rightX - p.belowX);
    const double half = slope > 0.0 ? std::min(gap / slope, reach) : reach;
    xMin_ = p.belowX - half;
    xMax_ = p.belowX + half;
  }
  double xMin() const { return xMin_; }
  double xMax() const { return xMax_; }
  bool inside(double x, double h) const { return x >= xMin_ && x <= xMax_ && h >= hMin_ && h <= hMax_; }
  int x(double v) const {
    return area_.left + static_cast<int>((v - xMin_) / (xMax_ - xMin_) * (area_.right - area_.left));
  }
  // Clamped a little beyond the panel, so that a clipped line keeps its slope
  // well enough and its pixels stay in range.
  int y(double h) const {
    const double height = area_.bottom - area_.top;
    const double offset = std::max(-2 * height, std::min(3 * height, (h - hMin_) / (hMax_ - hMin_) * height));
    return area_.bottom - static_cast<int>(offset);
  }

 private:
  Rect area_;
  double xMin_, xMax_, hMin_, hMax_;
};

void dot(Canvas& canvas, int x, int y, int radius) { canvas.ellipse(x - radius, y - radius, x + radius, y + radius); }

}  // namespace

Rect proofInsetRect(const Rect& frame, const std::vector<std::pair<int, int>>& keepInView, double scale) {
  const int margin = scaledPixels(6, scale);
  const int width = (frame.right - frame.left) * 3 / 10;
  const int height = (frame.bottom - frame.top) * 2 / 5;
  const int top = frame.top + margin;
  const Rect left{frame.left + margin, top, frame.left + margin + width, top + height};
  const Rect right{frame.right - margin - width, top, frame.right - margin, top + height};
  // Within a dot's reach of the panel counts as covered.
  const int reach = scaledPixels(8, scale);
  const auto covered = [&](const Rect& r) {
    int count = 0;
    for (const auto& p : keepInView) {
      if (p.first > r.left - reach && p.first < r.right + reach && p.second > r.top - reach &&
          p.second < r.bottom + reach) {
        ++count;
      }
    }
    return count;
  };
  const int onTheLeft = covered(left);
  const int onTheRight = covered(right);
  if (onTheLeft != onTheRight) return onTheLeft < onTheRight ? left : right;
  const bool firstOnTheRight = !keepInView.empty() && keepInView.front().first > (frame.left + frame.right) / 2;
  return firstOnTheRight ? left : right;
}

void drawProofInset(Canvas& canvas, const Rect& inset, const ProofHighlight& p, double scale, bool labelled) {
  if (!(p.leftX < p.belowX && p.belowX < p.rightX)) return;
  if (inset.right - inset.left < 8 || inset.bottom - inset.top < 8) return;
  ClipSelection clip(canvas, inset);
  canvas.setPenWidth(1);
  {
    // The panel hides what lies behind it.
    PenSelection pen(canvas, PlotColor::white);
    for (int y = inset.top; y < inset.bottom; ++y) {
      canvas.moveTo(inset.left, y);
      canvas.lineTo(inset.right, y);
    }
  }
  // Framed, and named a zoom in its corner, under the data drawn next: the
  // status line says that the proof holds on the log scale.
  canvas.frameRect(inset, PlotColor::black);
  const Size label = labelled ? canvas.textExtent(insetLabel) : Size{};
  const int pad = scaledPixels(3, scale);
  if (labelled && label.cx + 2 * pad <= inset.right - inset.left) {
    // The chord crosses the panel from corner to corner: the label takes a
    // left corner it leaves free, the lower one where it falls to the right.
    const bool falling = p.rightH < p.leftH;
    const int top = falling ? inset.bottom - pad / 2 - label.cy : inset.top + pad / 2;
    const Color previous = canvas.setTextColor(PlotColor::black);
    canvas.drawText(insetLabel, Rect{inset.left + pad, top, inset.right - pad, top + label.cy}, DT_SINGLELINE);
    canvas.setTextColor(previous);
  }
  const int margin = scaledPixels(8, scale);
  const Rect area{inset.left + margin, inset.top + margin, inset.right - margin, inset.bottom - margin};
  const InsetScale at(area, p);
  // The chord across the panel, within its two ends.
  const double from = std::max(p.leftX, at.xMin());
  const double to = std::min(p.rightX, at.xMax());
  canvas.setPenWidth(2 * scaledPixels(1, scale));
  {
    PenSelection pen(canvas, PlotColor::proof);
    canvas.moveTo(at.x(from), at.y(chordAt(p, from)));
    canvas.lineTo(at.x(to), at.y(chordAt(p, to)));
    canvas.moveTo(at.x(p.belowX), at.y(p.belowH));
    canvas.lineTo(at.x(p.belowX), at.y(chordAt(p, p.belowX)));
  }
  // Open circles: the picture's filled dots stand for the sampler's own points.
  const int radius = scaledPixels(3, scale);
  BrushSelection brush(canvas, PlotColor::white);
  {
    canvas.setPenWidth(scaledPixels(1, scale));
    PenSelection pen(canvas, PlotColor::points);
    if (at.inside(p.leftX, p.leftH)) dot(canvas, at.x(p.leftX), at.y(p.leftH), radius);
    if (at.inside(p.rightX, p.rightH)) dot(canvas, at.x(p.rightX), at.y(p.rightH), radius);
  }
  canvas.setPenWidth(2 * scaledPixels(1, scale));
  PenSelection pen(canvas, PlotColor::proof);
  dot(canvas, at.x(p.belowX), at.y(p.belowH), radius + scaledPixels(1, scale));
  canvas.setPenWidth(scaledPixels(1, scale));
}
