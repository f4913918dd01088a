#include "display/typed_envelope_drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/canvas.h"
#include "platform/selection.h"

namespace {

using ars::detail::EnvelopePiece;
using ars::detail::Line;
using envelope_pen::Scale;

// One line of a piece over [left, right]: under log f straight in log space
// (the shared trace of the built-in kinds); under another T traced in the
// trace's steps on both scales.
template <typename ToPixel>
void drawLine(Canvas& canvas, const Scale& scale, ToPixel toPixelOf, const EnvelopeTrace& trace,
              ars::Transform transform, const Line& line, double left, double right) {
  if (transform == ars::Transform::Log) {
    envelope_pen::drawPiece(canvas, scale, toPixelOf, trace, left, line.at(left), right, line.at(right), line.slope);
    return;
  }
  const auto at = [&](double x) { return toPixelOf(x, logValueOfT(transform, line.at(x))); };
  moveTo(canvas, at(left));
  double x = left + trace.step;
  for (; x < right; x += trace.step) lineTo(canvas, at(x));
  lineTo(canvas, at(right));
}

// The part of [left, right] within the trace; false when none is.
bool clipToTrace(const EnvelopeTrace& trace, double& left, double& right) {
  left = std::max(left, trace.from);
  right = std::min(right, trace.to);
  return left < right;
}

template <typename LineOf>
void drawLines(Canvas& canvas, const std::vector<EnvelopePiece>& pieces, ars::Transform transform, const Scale& scale,
               const EnvelopeTrace& trace, LineOf lineOf) {
  const auto whole = [&scale](double x, double v) { return scale.whole(x, v); };
  const auto exact = [&scale](double x, double v) { return scale.exact(x, v); };
  for (const EnvelopePiece& piece : pieces) {
    const Line* line = lineOf(piece);
    double left = piece.left, right = piece.right;
    if (line == nullptr || !clipToTrace(trace, left, right)) continue;
    if (canvas.keepsFractions()) {
      drawLine(canvas, scale, exact, trace, transform, *line, left, right);
    } else {
      drawLine(canvas, scale, whole, trace, transform, *line, left, right);
    }
  }
}

}  // namespace

double logValueOfT(ars::Transform transform, double t) {
  if (transform == ars::Transform::Log) return t;
  return t < 0 ? -2 * std::log(-t) : std::numeric_limits<double>::infinity();
}

void drawPiecewiseHull(Canvas& canvas, const std::vector<EnvelopePiece>& pieces, ars::Transform transform,
                       const PlotMapping& mapping, std::uint32_t color, bool logScale, double logOffset,
                       const EnvelopeTrace& trace, bool tScale) {
  const Scale scale(mapping, logScale, logOffset, tScale);
  PenSelection pen(canvas, color);
  drawLines(canvas, pieces, transform, scale, trace, [](const EnvelopePiece& p) { return &p.hull; });
}

void drawPiecewiseSqueeze(Canvas& canvas, const std::vector<EnvelopePiece>& pieces, ars::Transform transform,
                          const PlotMapping& mapping, std::uint32_t color, bool logScale, double logOffset,
                          const EnvelopeTrace& trace, bool tScale) {
  const auto first = std::find_if(pieces.begin(), pieces.end(), [](const EnvelopePiece& p) { return p.hasSqueeze; });
  const auto last = std::find_if(pieces.rbegin(), pieces.rend(), [](const EnvelopePiece& p) { return p.hasSqueeze; });
  if (first == pieces.end()) return;
  const Scale scale(mapping, logScale, logOffset, tScale);
  PenSelection pen(canvas, color);
  // Down to the axis at the outer points, where the squeeze ends.
  for (const auto& [piece, x] : {std::pair{&*first, first->left}, std::pair{&*last, last->right}}) {
    if (x < trace.from || x > trace.to) continue;
    const envelope_pen::Point top = scale.whole(x, logValueOfT(transform, piece->squeeze.at(x)));
    canvas.moveTo(top.x, scale.originY());
    canvas.lineTo(top.x, top.y);
  }
  drawLines(canvas, pieces, transform, scale, trace,
            [](const EnvelopePiece& p) { return p.hasSqueeze ? &p.squeeze : nullptr; });
}
