// Caption, exact curve, then the envelope while stepping, or the darts, their
// histogram; plain rejection beside the darts in panels of their own.
#include "studio/window_picture.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "studio/beside_picture.h"
#include "studio/comparison_picture.h"
#include "density/density_kinds.h"
#include "display/accepted_values_drawing.h"
#include "display/axis_titles.h"
#include "display/candidate_marker.h"
#include "display/dots.h"
#include "display/envelope_drawing.h"
#include "display/histogram_drawing.h"
#include "display/hull_range.h"
#include "display/hull_cut_mark.h"
#include "display/hull_gap_mark.h"
#include "display/larger_dots_canvas.h"
#include "display/new_point_ring.h"
#include "display/plot_colors.h"
#include "display/plot_layout.h"
#include "display/plot_theme.h"
#include "display/proof_drawing.h"
#include "display/proof_inset.h"
#include "display/split_lines.h"
#include "display/typed_envelope_drawing.h"
#include "model/plain_beside.h"
#include "model/plain_comparison.h"
#include "model/sampler_in_use.h"
#include "model/step_beat.h"
#include "model/window_model.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

namespace {
using PlotColor::black;

// Where the data may draw: the axes rectangle, grown by the largest dot's
// radius so that a dot on the frame stays whole, but never into the tick
// labels, which start `gap` pixels below and left of the axes.
Rect dataClip(const Rect& frame, int dotRadius, int gap) {
  return Rect{frame.left - std::min(dotRadius, gap), frame.top - dotRadius, frame.right + dotRadius,
              frame.bottom + std::min(dotRadius, gap - 1)};
}

std::string captionOf(const DensityState& density) {
  char caption[256];
  if (density.isOther()) {
    std::snprintf(caption, sizeof caption, "%s", density.otherChoice.caption.c_str());
    return caption;
  }
  const DensityKind& row = densityKindRow(density.kind);
  switch (row.instance) {
    case DensityInstance::Beta:
      std::snprintf(caption, sizeof caption, "Beta distribution: alpha = %.3f, beta = %.3f", row.alpha, row.beta);
      return caption;
    case DensityInstance::Gamma:
      std::snprintf(caption, sizeof caption, "Gamma distribution: alpha = %.3f, beta = %.3f", row.alpha,
                    row.beta);
      return caption;
    case DensityInstance::Test:
      break;
  }
  return "Test density";
}

// View > Envelope after darts: the envelope the throw ended with, its points,
// hull and squeeze over the darts, lines ending at the frame.
void drawEnvelopeAfterDarts(Canvas& data, Canvas& canvas, const PlotLayout& layout, const WindowModel& model,
                            const Rect& dotClip) {
  const CurveState& curve = model.curve;
  const ThemeLook& look = themeLook(model.view.theme);
  const PlotMapping& mapping = layout.mapping;
  const Rect& frame = layout.frame;
  const bool logScale = model.view.logScale;
  std::optional<PenStyleSelection> dashes;
  if (model.typed) {
    const std::vector<ars::detail::EnvelopePiece> pieces = model.typed->pieces();
    const ars::Transform transform = model.typed->transform();
    const EnvelopeTrace trace = traceInView(mapping, frame);
    drawEvaluatedPoints(data, envelopePoints(model), nullptr, mapping, black, logScale, curve.logOffset,
                        curve.tScale);
    canvas.setClipRect(&frame);
    drawPiecewiseHull(data, pieces, transform, mapping, look.upperHull, logScale, curve.logOffset, trace,
                      curve.tScale);
    if (look.squeezeStyle != PenStyle::solid) dashes.emplace(data, look.squeezeStyle);
    drawPiecewiseSqueeze(data, pieces, transform, mapping, look.squeeze, logScale, curve.logOffset, trace,
                         curve.tScale);
  } else {
    const EnvelopeShape shape = samplerEnvelope(model.sampler);
    drawAbscissae(data, shape, mapping, black, logScale, curve.logOffset);
    canvas.setClipRect(&frame);
    drawUpperHull(data, shape, mapping, look.upperHull, logScale, curve.logOffset, EnvelopeTrace{});
    if (look.squeezeStyle != PenStyle::solid) dashes.emplace(data, look.squeezeStyle);
    drawSqueeze(data, shape, mapping, look.squeeze, logScale, curve.logOffset, EnvelopeTrace{});
  }
  dashes.reset();
  canvas.setClipRect(&dotClip);
}

std::string fittedText(Canvas& canvas, std::string text, int width) {
  if (canvas.textExtent(text).cx <= width) return text;
  const std::string ellipsis = "\u2026";
  while (!text.empty() && canvas.textExtent(text + ellipsis).cx > width) {
    // Back to the start of the last UTF-8 character.
    std::size_t cut = text.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.erase(cut);
  }
  return text + ellipsis;
}

CandidateFate fateOf(StepResult result) {
  switch (result) {
    case StepResult::SqueezeAccept: return CandidateFate::Squeezed;
    case StepResult::DensityAccept: return CandidateFate::Evaluated;
    case StepResult::Rejection:
    case StepResult::None: break;
  }
  return CandidateFate::Rejected;
}
}  // namespace

void paintWindow(Canvas& canvas, const PlotLayout& layout, const WindowModel& model) {
  const Rect& client = layout.client;
  // A minimised or empty client area has nothing to show.
  if (client.right - client.left <= 0 || client.bottom - client.top <= 0) return;
  // Pens, dots, ticks and text grow with the window; at its opening size
  // the factor is 1.
  const double scale = pictureScale(client);
  const ViewOptions& view = model.view;
  const ThemeLook& look = themeLook(view.theme);
  canvas.setPenWidth(themeLineWidth(view.theme, scale));
  canvas.setTextScale(themeTextScale(view.theme, scale));

  std::string caption = captionOf(model.density);
  // A typed formula may be longer than a phone is wide: cut at its end, in
  // sight, rather than at both edges of the window.
  if (model.density.isOther()) caption = fittedText(canvas, caption, client.right - client.left);
  const int cy = canvas.textExtent(caption).cy;
  Rect band = client;
  band.top = client.bottom - (3 * cy) / 2;
  band.bottom = client.bottom - cy / 2;
  canvas.setTextColor(look.caption);
  canvas.drawText(caption, band, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  canvas.setTextColor(black);

  // Plain rejection and the adaptive darts each get a panel of their own;
  // so do the two samplers stepped side by side.
  if (comparisonShown(model)) {
    paintComparison(canvas, layout, model, scale, band.top);
    return;
  }
  if (plainBesideShown(model)) {
    paintBeside(canvas, layout, model, scale, band.top);
    return;
  }
  paintPlot(canvas, layout, model, scale, band.top);
}

void paintPlot(Canvas& canvas, const PlotLayout& layout, const WindowModel& model, double scale, int captionTop) {
  const Rect& client = layout.client;
  const ViewOptions& view = model.view;
  const ThemeLook& look = themeLook(view.theme);
  const bool projector = view.theme == PlotTheme::projector;
  const bool logScale = view.logScale;
  const CurveState& curve = model.curve;
  Plotter plotter = curvePlotter(curve, layout, scale);
  plotter.draw(client, canvas);
  const PlotMapping& mapping = layout.mapping;
  const Rect& frame = layout.frame;
  drawAxisTitles(canvas, frame, captionTop, layout.vertical, scale, xAxisTitle(plotter.xOffsetText));

  const SteppingState& stepping = model.stepping;
  const DartsState& darts = model.darts;
  const ARSSampler& sampler = model.sampler;
  // A proof of non-log-concavity keeps its envelope on screen after stepping ended.
  const bool envelopeShown = stepping.active || stepping.proof.has_value();
  // Over the darts, which would hide them.
  const auto drawSplits = [&] {
    if (model.density.isOther()) drawSplitLines(canvas, mapping, frame, model.density.otherChoice.splits, scale);
  };
  if (!envelopeShown && !darts.thrown) {
    drawSplits();
    return;
  }

  const double dotFactor = (view.largerPoints ? 2.0 : 1.0) * scale;
  LargerDotsCanvas larger(canvas, dotFactor);
  Canvas& data = dotFactor != 1.0 ? larger : canvas;
  // Bars have heights on the log and normal scales only: on the T scale the darts stay dots.
  const bool histogramShown = view.histogramShown && !darts.x.empty() && !curve.tScale;
  // The accepted candidates' bars lie behind the envelope and the curve, which is drawn again over them.
  const bool acceptedShown = view.acceptedValues && envelopeShown && !stepping.acceptedX.empty();
  if (acceptedShown && !curve.tScale && stepping.acceptedX.size() >= acceptedHistogramMinimum) {
    {
      ClipSelection clip(canvas, frame);
      drawAcceptedHistogram(canvas, mapping, plotter, stepping.acceptedX, logScale);
    }
    plotter.draw(client, canvas);
  }
  {
    const int gap = scaledPixels(4, scale);
    // With two beats the candidate's marker is the largest dot, for a hall.
    const int markerRadius = scaledPixels(view.largerPoints ? 10 : 6, scale);
    const int largestDot = view.twoBeats ? markerRadius : scaledPixels(view.largerPoints ? 8 : 4, scale);
    const Rect dotClip = dataClip(frame, largestDot, gap);
    ClipSelection clip(canvas, dotClip);
    if (envelopeShown) {
      const std::optional<LastCandidate> candidate = lastCandidate(model);
      if (stepping.proof) {
        drawProofRings(canvas, mapping, *stepping.proof, envelopePoints(model), logScale, curve.logOffset, scale);
      }
      // With two beats per step only the decided candidate is marked; a
      // proof's failed candidate keeps the classic dot.
      const bool typed = model.density.isOther();
      const bool decided = candidateBeatShown(model);
      const bool classicCandidate = !(view.twoBeats && stepping.active);
      // A typed density's pieces may reach far beyond the plot or be far narrower than 0.01.
      const EnvelopeTrace trace = typed ? traceInView(mapping, frame) : EnvelopeTrace{};
      // Lines end at the frame, where only dots may overhang it; the picture
      // at the opening size keeps its classic clip.
      const bool framedLines = typed || scale > 1.0;
      std::vector<HullCut> cuts;
      const double levelAtTop = logAtTop(layout, curve, logScale);
      if (typed) {
        // The candidate with its decision is drawn against the envelope it came from.
        const HullPoint dart = candidate ? HullPoint{candidate->x, candidate->logY} : HullPoint{};
        drawEvaluatedPoints(data, shownTypedPoints(model), candidate && classicCandidate ? &dart : nullptr, mapping,
                            black, logScale, curve.logOffset, curve.tScale);
        const std::vector<ars::detail::EnvelopePiece> pieces = shownTypedPieces(model);
        const ars::Transform transform = model.typed ? model.typed->transform() : ars::Transform::Log;
        canvas.setClipRect(&frame);
        drawPiecewiseHull(data, pieces, transform, mapping, look.upperHull, logScale, curve.logOffset, trace,
                          curve.tScale);
        {
          // The classic picture selects no style: its calls stay as they always were.
          std::optional<PenStyleSelection> dashes;
          if (look.squeezeStyle != PenStyle::solid) dashes.emplace(data, look.squeezeStyle);
          drawPiecewiseSqueeze(data, pieces, transform, mapping, look.squeeze, logScale, curve.logOffset, trace,
                               curve.tScale);
        }
        if (const FormulaDensity* density = model.density.otherDensity.get()) {
          const envelope_pen::Scale heights(mapping, logScale, curve.logOffset, curve.tScale);
          drawHullGaps(canvas, heights, mapping, frame, layout.hullGaps, pieces, transform,
                       [density](double x) { return density->logDensity(x); }, scale);
        }
        canvas.setClipRect(&dotClip);
        if (layout.hullCut) cuts = hullAbove(pieces, transform, layout.ranges.xMin, layout.ranges.xMax, levelAtTop);
      } else {
        // The candidate with its decision is drawn against the envelope it came from.
        const EnvelopeShape shape = shownEnvelope(model);
        drawAbscissae(data, shape, mapping, black, logScale, curve.logOffset);
        if (classicCandidate) drawLastDraw(data, sampler, mapping, black, logScale, curve.logOffset);
        if (framedLines) canvas.setClipRect(&frame);
        drawUpperHull(data, shape, mapping, look.upperHull, logScale, curve.logOffset, trace);
        {
          std::optional<PenStyleSelection> dashes;
          if (look.squeezeStyle != PenStyle::solid) dashes.emplace(data, look.squeezeStyle);
          drawSqueeze(data, shape, mapping, look.squeeze, logScale, curve.logOffset, trace);
        }
        if (framedLines) canvas.setClipRect(&dotClip);
        if (layout.hullCut) cuts = hullAbove(shape.segments, layout.ranges.xMin, layout.ranges.xMax, levelAtTop);
      }
      if (layout.hullCut) drawHullCuts(canvas, mapping, frame, cuts, scale);
      if (acceptedShown) drawAcceptedRug(canvas, mapping, frame, stepping.acceptedX, scale);
      if (stepping.proof) drawProofHighlight(canvas, mapping, *stepping.proof, logScale, curve.logOffset, scale);
      if (candidate && (classicCandidate || decided)) {
        const double height = plottedHeight(curve, logScale, candidate->logY);
        const int px = wholePixelX(mapping, candidate->x);
        const int py = wholePixelY(mapping, height);
        if (classicCandidate) {
          drawCandidateMarker(canvas, frame, px, py, scale);
        } else {
          drawFateMarker(canvas, frame, px, py, fateOf(stepping.lastResult), markerRadius, scale);
        }
      }
      if (const std::optional<HullPoint> added = pointJustAdded(model)) {
        // In the points' colour: the fate's marker has gone with its beat.
        const envelope_pen::Scale heights(mapping, logScale, curve.logOffset, curve.tScale);
        const auto centre = heights.whole(added->x, added->h);
        drawNewPointRing(canvas, centre.x, centre.y, markerRadius, PlotColor::points);
      }
    } else if (projector) {
      // Darts over the bars, kept small, and the curve over both.
      if (histogramShown) drawHistogram(canvas, mapping, plotter, darts.x, logScale);
      LargerDotsCanvas dartDots(canvas, themeDartFactor(view.theme, dotFactor, view.largerPoints));
      drawDots(dartDots, mapping, darts.x, darts.y, look.darts);
    } else if (histogramShown) {
      drawHistogram(canvas, mapping, plotter, darts.x, logScale);
    } else {
      drawDots(data, mapping, darts.x, darts.y, PlotColor::darts);
    }
    if (!envelopeShown && view.envelopeAfterDarts) drawEnvelopeAfterDarts(data, canvas, layout, model, dotClip);
  }
  // The bars lie behind the curve: it is drawn again over them.
  if (!stepping.active && !darts.comparing && histogramShown && !projector) plotter.draw(client, canvas);
  if (!envelopeShown && projector) plotter.drawCurve(client, canvas);
  if (envelopeShown && stepping.proof) {
    // The point below the chord first: the panel keeps away from it on a tie.
    std::vector<std::pair<int, int>> keep = proofPixels(mapping, *stepping.proof, logScale, curve.logOffset);
    std::swap(keep[0], keep[1]);
    if (const std::optional<LastCandidate> candidate = lastCandidate(model)) {
      keep.emplace_back(wholePixelX(mapping, candidate->x),
                        wholePixelY(mapping, plottedHeight(curve, logScale, candidate->logY)));
    }
    const Rect inset = proofInsetRect(frame, keep, scale);
    // Named a zoom where the classic picture is not pinned: in the projector
    // theme, with two beats or beside the why panel.
    const bool labelled = projector || view.twoBeats || view.whyPanel;
    drawProofInset(canvas, inset, *stepping.proof, scale, labelled);
  }
  drawSplits();
  // Data that reached the axes lies under them, not over them.
  plotter.redrawAxes(client, canvas);
}
