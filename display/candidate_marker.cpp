#include "display/candidate_marker.h"

#include <algorithm>

#include "platform/picture_scale.h"
#include "display/plot_colors.h"
#include "platform/selection.h"

FrameSide sideOfFrame(const Rect& frame, int px, int py) {
  if (py < frame.top) return FrameSide::Above;
  if (py >= frame.bottom) return FrameSide::Below;
  if (px < frame.left) return FrameSide::Left;
  if (px >= frame.right) return FrameSide::Right;
  return FrameSide::Inside;
}

void drawCandidateMarker(Canvas& canvas, const Rect& frame, int px, int py, double scale) {
  const FrameSide side = sideOfFrame(frame, px, py);
  if (side == FrameSide::Inside) return;
  const int radius = scaledPixels(4, scale);
  const int arrow = scaledPixels(5, scale);
  // The dot sits just inside the edge, the arrow between it and the edge.
  const int inset = radius + arrow + 1;
  const int cx = std::clamp(px, frame.left + inset, std::max(frame.left + inset, frame.right - 1 - inset));
  const int cy = std::clamp(py, frame.top + inset, std::max(frame.top + inset, frame.bottom - 1 - inset));
  // The arrow's tip on the edge and the two ends of its head, dx/dy pointing outwards.
  int tipX = cx, tipY = cy, dx = 0, dy = 0;
  switch (side) {
    case FrameSide::Above: tipY = frame.top; dy = -1; break;
    case FrameSide::Below: tipY = frame.bottom - 1; dy = 1; break;
    case FrameSide::Left: tipX = frame.left; dx = -1; break;
    case FrameSide::Right: tipX = frame.right - 1; dx = 1; break;
    case FrameSide::Inside: break;
  }
  PenSelection pen(canvas, PlotColor::candidate);
  canvas.moveTo(cx + dx * radius, cy + dy * radius);
  canvas.lineTo(tipX, tipY);
  canvas.moveTo(tipX - dx * arrow + dy * arrow, tipY - dy * arrow + dx * arrow);
  canvas.lineTo(tipX, tipY);
  canvas.lineTo(tipX - dx * arrow - dy * arrow, tipY - dy * arrow - dx * arrow);
  PenSelection outline(canvas, PlotColor::points);
  BrushSelection brush(canvas, PlotColor::candidate);
  canvas.ellipse(cx - radius, cy - radius, cx + radius, cy + radius);
}
