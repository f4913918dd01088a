#include "display/candidate_marker.h"

#include <algorithm>

#include "display/plot_colors.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

namespace {

struct Centre {
  int x;
  int y;
};

// A marker outside the frame sits just inside its edge, with an arrow between
// it and the edge pointing the way the candidate lies.
Centre markAtEdge(Canvas& canvas, const Rect& frame, FrameSide side, int px, int py, int radius, int arrow,
                  Color color) {
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
  PenSelection pen(canvas, color);
  canvas.moveTo(cx + dx * radius, cy + dy * radius);
  canvas.lineTo(tipX, tipY);
  canvas.moveTo(tipX - dx * arrow + dy * arrow, tipY - dy * arrow + dx * arrow);
  canvas.lineTo(tipX, tipY);
  canvas.lineTo(tipX - dx * arrow - dy * arrow, tipY - dy * arrow - dx * arrow);
  return Centre{cx, cy};
}

}  // namespace

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
  const Centre c = markAtEdge(canvas, frame, side, px, py, radius, scaledPixels(5, scale), PlotColor::candidate);
  PenSelection outline(canvas, PlotColor::points);
  BrushSelection brush(canvas, PlotColor::candidate);
  canvas.ellipse(c.x - radius, c.y - radius, c.x + radius, c.y + radius);
}

void drawFateMarker(Canvas& canvas, const Rect& frame, int px, int py, CandidateFate fate, int radius,
                    double scale) {
  const FrameSide side = sideOfFrame(frame, px, py);
  Centre c{px, py};
  if (side != FrameSide::Inside) {
    c = markAtEdge(canvas, frame, side, px, py, radius, scaledPixels(5, scale), fateColor(fate));
  }
  drawFateShape(canvas, c.x, c.y, fate, radius);
}

Color fateColor(CandidateFate fate) {
  switch (fate) {
    case CandidateFate::Squeezed: return PlotColor::squeezed;
    case CandidateFate::Evaluated: return PlotColor::evaluated;
    case CandidateFate::Rejected: break;
  }
  return PlotColor::rejectedCandidate;
}

void drawFateShape(Canvas& canvas, int cx, int cy, CandidateFate fate, int radius) {
  const Color color = fateColor(fate);
  switch (fate) {
    case CandidateFate::Squeezed: {
      PenSelection outline(canvas, PlotColor::points);
      BrushSelection brush(canvas, color);
      canvas.ellipse(cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
      return;
    }
    case CandidateFate::Evaluated: {
      // A square of about the circle's area, filled row by row, outlined like the circle.
      const int half = std::max(1, radius * 7 / 8);
      {
        PenSelection pen(canvas, color);
        for (int y = cy - half; y <= cy + half; ++y) {
          canvas.moveTo(cx - half, y);
          canvas.lineTo(cx + half + 1, y);
        }
      }
      canvas.frameRect(Rect{cx - half, cy - half, cx + half + 1, cy + half + 1}, PlotColor::points);
      return;
    }
    case CandidateFate::Rejected:
      break;
  }
  // A cross as wide as the circle, its strokes a quarter of the radius thick either side.
  PenSelection pen(canvas, color);
  const int thick = std::max(1, radius / 4);
  for (int d = -thick; d <= thick; ++d) {
    canvas.moveTo(cx - radius + d, cy - radius);
    canvas.lineTo(cx + radius + d + 1, cy + radius + 1);
    canvas.moveTo(cx - radius + d, cy + radius);
    canvas.lineTo(cx + radius + d + 1, cy - radius - 1);
  }
}
