#include "studio/pointer_tips.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "display/axis_ticks.h"
#include "display/envelope_pen.h"
#include "display/plot_layout.h"
#include "model/plain_beside.h"
#include "model/plain_comparison.h"
#include "model/sampler_in_use.h"
#include "model/step_beat.h"
#include "model/window_model.h"
#include "platform/picture_scale.h"
#include "studio/side_panels.h"
#include "studio/terms.h"
#include "studio/text_format.h"

namespace {

using ars::detail::EnvelopePiece;
using ars::detail::HullPoint;
using ars::detail::Line;

// The envelope on screen as pieces with lines in T (log f for the built-in
// kinds), and the points they are built through.
struct ShownEnvelope {
  std::vector<EnvelopePiece> pieces;
  std::vector<HullPoint> points;
  ars::Transform transform = ars::Transform::Log;
};

std::vector<EnvelopePiece> piecesOf(const EnvelopeShape& shape) {
  std::vector<EnvelopePiece> pieces;
  const std::size_t n = shape.segments.size();
  for (std::size_t i = 0; i < n; ++i) {
    const EnvelopeSegment& s = shape.segments[i];
    EnvelopePiece piece;
    piece.left = s.upperLeftX;
    piece.right = s.upperRightX;
    piece.hull = Line{s.upperLeftX, s.upperLeftY, s.upperSlope};
    // The tails carry no squeeze, as the sampler tests it.
    piece.hasSqueeze = i > 0 && i + 1 < n;
    piece.squeeze = Line{s.squeezeLeftX, s.squeezeLeftY, s.squeezeSlope};
    pieces.push_back(piece);
  }
  return pieces;
}

std::optional<ShownEnvelope> shownEnvelopeOf(const WindowModel& model) {
  if (comparisonShown(model) || plainBesideShown(model)) return std::nullopt;
  const bool stepping = model.stepping.active || model.stepping.proof.has_value();
  const bool afterDarts = !stepping && model.darts.thrown && model.view.envelopeAfterDarts;
  if (!stepping && !afterDarts) return std::nullopt;
  ShownEnvelope shown;
  if (model.density.isOther()) {
    if (!model.typed) return std::nullopt;
    shown.transform = model.typed->transform();
    shown.pieces = stepping ? shownTypedPieces(model) : model.typed->pieces();
    shown.points = stepping ? shownTypedPoints(model) : envelopePoints(model);
  } else {
    const EnvelopeShape shape = stepping ? shownEnvelope(model) : samplerEnvelope(model.sampler);
    shown.pieces = piecesOf(shape);
    shown.points = shape.points;
  }
  if (shown.pieces.empty()) return std::nullopt;
  return shown;
}

double logOf(ars::Transform transform, double t) {
  if (transform == ars::Transform::Log) return t;
  return t < 0 ? -2 * std::log(-t) : INFINITY;
}

double tOf(ars::Transform transform, double h) {
  return transform == ars::Transform::Log ? h : -std::exp(-h / 2);
}

const char* scaleName(ars::Transform transform) {
  return transform == ars::Transform::Log ? "log f" : "T(f) = \xe2\x88\x92" "1/\xe2\x88\x9a" "f";
}

struct Tipper {
  const WindowModel& model;
  const PlotLayout& layout;
  const ShownEnvelope& shown;
  envelope_pen::Scale scale;
  int tolerance;

  std::string at(double x) const {
    return model.density.isOther() ? valueAtResolution(x, model.curve.xMax - model.curve.xMin) : format("%.3f", x);
  }
  double dataX(int px) const {
    const PlotMapping& m = layout.mapping;
    return m.xMin + (px - m.originX) / m.scaleX;
  }
  int pixelX(double x) const { return wholePixelX(layout.mapping, x); }
  int pixelY(double t) const { return scale.wholeY(logOf(shown.transform, t)); }

  // The neighbouring points whose secant (in T) is this line; none where it is no secant of them.
  std::optional<std::size_t> secantOf(const Line& line, const EnvelopePiece& piece) const {
    const std::vector<HullPoint>& p = shown.points;
    const double xm = std::isfinite(piece.left) && std::isfinite(piece.right) ? (piece.left + piece.right) / 2
                      : std::isfinite(piece.left)                             ? piece.left
                                                                              : piece.right;
    std::optional<std::size_t> best;
    double bestError = 1e-6;
    for (std::size_t j = 0; j + 1 < p.size(); ++j) {
      const double a = tOf(shown.transform, p[j].h);
      const double b = tOf(shown.transform, p[j + 1].h);
      if (!std::isfinite(a) || !std::isfinite(b) || !(p[j + 1].x > p[j].x)) continue;
      const double slope = (b - a) / (p[j + 1].x - p[j].x);
      const double value = a + slope * (xm - p[j].x);
      const double error = std::fabs(value - line.at(xm)) / (1 + std::fabs(value)) +
                           std::fabs(slope - line.slope) / (1 + std::fabs(slope));
      if (error < bestError) {
        bestError = error;
        best = j;
      }
    }
    return best;
  }

  std::string secantWords(std::size_t j, const EnvelopePiece& piece) const {
    const std::vector<HullPoint>& p = shown.points;
    const std::string through = "the secant through the points at x = " + at(p[j].x) + " and " + at(p[j + 1].x);
    if (p[j + 1].x <= piece.left) return through + ", to its left";
    if (p[j].x >= piece.right) return through + ", to its right";
    return through;
  }

  // Whether the density rises at x, read from the plotted curve: +1, -1, or 0 where flat or unknown.
  int densityTrend(double x) const {
    const std::vector<double>& xs = model.curve.xValues;
    const std::vector<double>& ys = model.curve.yValues;
    if (xs.size() < 3) return 0;
    const auto it = std::lower_bound(xs.begin(), xs.end(), x);
    std::size_t i = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(it - xs.begin(), 1, xs.size() - 2));
    const double rise = ys[i + 1] - ys[i - 1];
    if (!std::isfinite(rise) || rise == 0) return 0;
    return rise > 0 ? 1 : -1;
  }

  std::string hullTip(const EnvelopePiece& piece, double x) const {
    const char* curve = scaleName(shown.transform);
    const std::optional<std::size_t> j = secantOf(piece.hull, piece);
    std::string text = "Upper hull: ";
    if (!j) {
      text += std::string("a line above ") + curve + ", from the secants of the points.";
      return text;
    }
    const HullPoint& a = shown.points[*j];
    const HullPoint& b = shown.points[*j + 1];
    if (a.x < piece.right && b.x > piece.left) {
      return text + "on this convex piece the chord between the points at x = " + at(a.x) + " and " + at(b.x) +
             " lies above " + curve + ".";
    }
    text += "this piece extends " + secantWords(*j, piece) + ". It lies above " + curve + " because " + curve +
            " is concave.";
    const int hull = piece.hull.slope > 0 ? 1 : piece.hull.slope < 0 ? -1 : 0;
    const int trend = densityTrend(x);
    if (hull != 0 && trend != 0 && hull != trend) {
      const bool left = b.x <= piece.left;
      text += std::string(hull > 0 ? " It rises while the density falls" : " It falls while the density rises") +
              " because " + curve + (hull > 0 ? " rose" : " fell") + " from " + at(a.x) + " to " + at(b.x) +
              ", and no point to its " + (left ? "right" : "left") +
              " bends it yet: a candidate here is likely rejected and becomes a point.";
    }
    return text;
  }

  std::string stepTip(const EnvelopePiece& before, const EnvelopePiece& after, double x, bool drops) const {
    const char* curve = scaleName(shown.transform);
    std::string text = std::string("A vertical ") + (drops ? "drop" : "rise") + " of the hull at x = " + at(x) +
                       ": two extended secants meet here.";
    const std::optional<std::size_t> left = secantOf(before.hull, before);
    const std::optional<std::size_t> right = secantOf(after.hull, after);
    if (left && right) {
      const std::vector<HullPoint>& p = shown.points;
      text += " To the left the hull follows the secant through " + at(p[*left].x) + " and " + at(p[*left + 1].x) +
              ", to the right the one through " + at(p[*right].x) + " and " + at(p[*right + 1].x) + ".";
    }
    text += std::string(" Both lie above ") + curve +
            "; at this point the hull passes from one to the other. New points close the step.";
    return text;
  }

  PointerTip tip(int px, int py) const {
    // A point first: it lies on both lines.
    for (const HullPoint& p : shown.points) {
      if (!std::isfinite(p.h)) continue;
      const envelope_pen::Point dot = scale.whole(p.x, p.h);
      if (std::abs(dot.x - px) <= tolerance && std::abs(dot.y - py) <= tolerance) {
        return {"A point at x = " + at(p.x) +
                    ": f was evaluated here, one evaluation. Hull and squeeze are built through the points; "
                    "each rejected candidate adds one.",
                "new-point"};
      }
    }
    const Rect& frame = layout.frame;
    const std::vector<EnvelopePiece>& pieces = shown.pieces;
    for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
      const double x = pieces[k].right;
      if (!std::isfinite(x) || std::abs(pixelX(x) - px) > tolerance) continue;
      const int from = pixelY(pieces[k].hull.at(x));
      const int to = pixelY(pieces[k + 1].hull.at(x));
      if (std::abs(from - to) <= 2 * tolerance) continue;
      const int top = std::max(frame.top, std::min(from, to));
      const int bottom = std::min(frame.bottom, std::max(from, to));
      if (py >= top - tolerance && py <= bottom + tolerance) {
        return {stepTip(pieces[k], pieces[k + 1], x, to > from), "hull-piece"};
      }
    }
    const double x = dataX(px);
    for (const EnvelopePiece& piece : pieces) {
      if (!(x >= piece.left && x <= piece.right)) continue;
      if (std::abs(pixelY(piece.hull.at(x)) - py) <= tolerance) return {hullTip(piece, x), "hull-piece"};
      if (piece.hasSqueeze && std::abs(scale.offset(x, logOf(shown.transform, piece.squeeze.at(x))).y - py) <= tolerance) {
        const std::optional<std::size_t> j = secantOf(piece.squeeze, piece);
        const char* curve = scaleName(shown.transform);
        std::string text = "Squeeze: ";
        text += j ? "the chord between the points at x = " + at(shown.points[*j].x) + " and " +
                        at(shown.points[*j + 1].x)
                  : std::string("a chord between neighbouring points");
        text += std::string(". It lies below ") + curve + " because " + curve +
                " is concave: a dart under it is accepted without evaluating f.";
        return {text, "squeeze"};
      }
    }
    return {};
  }
};

bool inside(const Rect& r, int px, int py) { return px >= r.left && px < r.right && py >= r.top && py < r.bottom; }

}  // namespace

PointerTip pointerTip(const WindowModel& model, const PlotLayout& layout, const Rect& client, int px, int py) {
  const Rect why = whyPanelRect(model, client);
  if (inside(why, px, py)) {
    return {std::string(whyPanelTerm().definition) + "\n" + legendTerm("upper hull")->definition + "\n" +
                legendTerm("squeeze")->definition + "\n" + evaluationTerm().definition,
            whyPanelTerm().anchor};
  }
  if (!layout.curveShown || !(layout.mapping.scaleX > 0) || !inside(layout.frame, px, py)) return {};
  const std::optional<ShownEnvelope> shown = shownEnvelopeOf(model);
  if (!shown) return {};
  const envelope_pen::Scale heights(layout.mapping, model.view.logScale, model.curve.logOffset, model.curve.tScale);
  const Tipper tipper{model, layout, *shown, heights, scaledPixels(5, pictureScale(layout.client))};
  return tipper.tip(px, py);
}
