// The sampler's envelope as the stepping display shows it: points, last
// candidate, upper hull and squeeze, on the curve's vertical scale.
#include "display/envelope_drawing.h"

#include <cstddef>

#include "display/pixel.h"
#include "display/plot_mapping.h"
#include "platform/canvas.h"
#include "platform/selection.h"
#include "sampler/ars.h"

namespace {

constexpr Color red = 0x000000FF;

using envelope_pen::drawPiece;
using envelope_pen::Point;
using envelope_pen::Scale;

}  // namespace

EnvelopeTrace traceInView(const PlotMapping& mapping, const Rect& frame) {
  const int width = frame.right - frame.left;
  if (!(mapping.scaleX > 0) || width <= 0) return EnvelopeTrace{};
  // A margin of an eighth of the frame on each side: the lines run on under the clip.
  const double margin = width / 8.0;
  return EnvelopeTrace{1 / mapping.scaleX, mapping.xMin - margin / mapping.scaleX,
                       mapping.xMin + (width + margin) / mapping.scaleX};
}

void drawEvaluatedPoints(Canvas& canvas, const std::vector<HullPoint>& points, const HullPoint* candidate,
                         const PlotMapping& mapping, Color color, bool logScale, double logOffset, bool tScale) {
  const Scale scale(mapping, logScale, logOffset, tScale);
  PenSelection pen(canvas, color);
  {
    BrushSelection brush(canvas, color);
    for (const HullPoint& point : points) {
      const Point p = scale.whole(point.x, point.h);
      canvas.ellipse(p.x - 2, p.y - 2, p.x + 2, p.y + 2);
    }
  }
  if (candidate != nullptr) {
    BrushSelection brush(canvas, red);
    const Point p = scale.whole(candidate->x, candidate->h);
    canvas.ellipse(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
  }
}

void drawAbscissae(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                   Color color, bool logScale, double logOffset) {
  drawEvaluatedPoints(canvas, shape.points, nullptr, mapping, color, logScale, logOffset);
}

void drawLastDraw(Canvas& canvas, const ARSSampler& sampler, const PlotMapping& mapping,
                  Color color, bool logScale, double logOffset) {
  if (!sampler.hasLastDraw) return;
  const HullPoint last{sampler.lastX, sampler.lastLogY};
  drawEvaluatedPoints(canvas, {}, &last, mapping, color, logScale, logOffset);
}

void drawUpperHull(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                   Color color, bool logScale, double logOffset, const EnvelopeTrace& trace) {
  const Scale scale(mapping, logScale, logOffset);
  PenSelection pen(canvas, color);
  const std::size_t n = shape.segments.size();
  const auto whole = [&scale](double x, double v) { return scale.whole(x, v); };
  const auto exact = [&scale](double x, double v) { return scale.exact(x, v); };
  for (std::size_t i = 0; i < n; ++i) {
    const EnvelopeSegment& s = shape.segments[i];
    // The hull jumps at the outermost points: join it down to the density there.
    if (i == 1) {
      const Point top = scale.whole(s.upperLeftX, s.upperLeftY);
      moveTo(canvas, top);
      canvas.lineTo(top.x, scale.wholeY(s.squeezeLeftY));
    }
    if (i + 2 == n) {
      const Point top = scale.whole(s.upperRightX, s.upperRightY);
      moveTo(canvas, top);
      canvas.lineTo(top.x, scale.wholeY(s.squeezeRightY));
    }
    if (canvas.keepsFractions()) {
      drawPiece(canvas, scale, exact, trace, s.upperLeftX, s.upperLeftY, s.upperRightX, s.upperRightY,
                s.upperSlope);
    } else {
      drawPiece(canvas, scale, whole, trace, s.upperLeftX, s.upperLeftY, s.upperRightX, s.upperRightY,
                s.upperSlope);
    }
  }
}

void drawSqueeze(Canvas& canvas, const EnvelopeShape& shape, const PlotMapping& mapping,
                 Color color, bool logScale, double logOffset, const EnvelopeTrace& trace) {
  // Without an envelope (a repaint behind a message box) there is nothing to outline.
  const std::size_t n = shape.segments.size();
  if (n < 3) return;
  const Scale scale(mapping, logScale, logOffset);
  PenSelection pen(canvas, color);
  const auto offset = [&scale](double x, double v) { return scale.offset(x, v); };
  const auto exact = [&scale](double x, double v) { return scale.exact(x, v); };

  const EnvelopeSegment& first = shape.segments[1];
  canvas.moveTo(scale.offsetX(first.squeezeLeftX), scale.originY());
  lineTo(canvas, scale.offset(first.squeezeLeftX, first.squeezeLeftY));

  for (std::size_t k = 1; k + 1 < n; ++k) {
    const EnvelopeSegment& s = shape.segments[k];
    if (canvas.keepsFractions()) {
      drawPiece(canvas, scale, exact, trace, s.squeezeLeftX, s.squeezeLeftY, s.squeezeRightX,
                s.squeezeRightY, s.squeezeSlope);
    } else {
      drawPiece(canvas, scale, offset, trace, s.squeezeLeftX, s.squeezeLeftY, s.squeezeRightX,
                s.squeezeRightY, s.squeezeSlope);
    }
  }

  const EnvelopeSegment& last = shape.segments[n - 2];
  const Point end = scale.offset(last.squeezeRightX, last.squeezeRightY);
  moveTo(canvas, end);
  canvas.lineTo(end.x, scale.originY());
}
