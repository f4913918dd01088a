#include "studio/beside_picture.h"

#include <string>
#include <vector>

#include "display/axis_titles.h"
#include "display/candidate_marker.h"
#include "display/dots.h"
#include "display/larger_dots_canvas.h"
#include "display/plot_colors.h"
#include "display/plot_layout.h"
#include "display/shifted_canvas.h"
#include "model/plain_beside.h"
#include "model/plain_comparison.h"
#include "model/window_model.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"
#include "studio/comparison_picture.h"
#include "studio/window_picture.h"

namespace {

// Where the panel is narrow: the figures that tell the two apart.
std::string shortCountsText(const BesideCounts& counts) {
  return groupedDigits(counts.evaluations) + " evaluations, " + groupedDigits(counts.accepted) + " accepted";
}

std::string countsText(const BesideCounts& counts) {
  return groupedDigits(counts.candidates) + " candidates, " + shortCountsText(counts);
}

// Plain rejection's box: its constant envelope over the range its candidates cover.
void drawPlainEnvelope(Canvas& canvas, const PlotMapping& mapping, const WindowModel& model) {
  const PlainRejection& plain = model.stepping.plain;
  const double height = plainPlotted(model)(plainLogTop(model));
  const int y = wholePixelY(mapping, height);
  PenSelection pen(canvas, PlotColor::upperHull);
  canvas.moveTo(wholePixelX(mapping, plain.xMin), y);
  canvas.lineTo(wholePixelX(mapping, plain.xMax) + 1, y);
}

// The last candidate, ringed in the points' colour over its dot.
void drawLastPlainCandidate(Canvas& canvas, const PlotMapping& mapping, const Rect& frame, const WindowModel& model,
                            double scale) {
  const PlainRejection& plain = model.stepping.plain;
  if (plain.evaluations == 0) return;
  const bool accepted = plain.lastAccepted;
  const double x = accepted ? plain.acceptedX.back() : plain.rejectedX.back();
  const double y = accepted ? plain.acceptedY.back() : plain.rejectedY.back();
  const int px = wholePixelX(mapping, x);
  const int py = wholePixelY(mapping, y);
  if (sideOfFrame(frame, px, py) != FrameSide::Inside) {
    drawCandidateMarker(canvas, frame, px, py, scale);
    return;
  }
  const int radius = scaledPixels(6, scale);
  PenSelection pen(canvas, PlotColor::points);
  BrushSelection brush(canvas, accepted ? PlotColor::darts : PlotColor::rejected);
  canvas.ellipse(px - radius, py - radius, px + radius + 1, py + radius + 1);
}

}  // namespace

void paintBeside(Canvas& canvas, const PlotLayout& layout, const WindowModel& model, double scale, int captionTop) {
  // The panels of the comparison with plain rejection: each laid out as a
  // window of 56% of the width, the two pulled together by 2% of it each.
  const Rect& client = layout.client;
  const int width = client.right - client.left;
  const int panelWidth = width * 14 / 25;
  const int pull = width / 50;
  const Rect panel{0, 0, panelWidth, client.bottom - client.top};
  PlotLayout panelLayout = layoutIn(layout, panel);
  // Half the width for the labels: ticks at round values keep them apart.
  panelLayout.roundTicks = true;
  const PlotMapping& mapping = panelLayout.mapping;
  const Rect& frame = panelLayout.frame;

  ShiftedCanvas left(canvas, -pull);
  Plotter plotter = curvePlotter(model.curve, panelLayout, scale);
  plotter.draw(panel, left);
  drawAxisTitles(left, frame, captionTop, panelLayout.vertical, scale, xAxisTitle(plotter.xOffsetText));
  {
    const double dotFactor = (model.view.largerPoints ? 2.0 : 1.0) * scale;
    LargerDotsCanvas larger(left, dotFactor);
    Canvas& data = dotFactor != 1.0 ? larger : static_cast<Canvas&>(left);
    const int radius = scaledPixels(model.view.largerPoints ? 8 : 6, scale);
    const Rect dotClip{frame.left - radius, frame.top - radius, frame.right + radius, frame.bottom + radius};
    ClipSelection clip(left, dotClip);
    const PlainRejection& plain = model.stepping.plain;
    drawDots(data, mapping, plain.rejectedX, plain.rejectedY, PlotColor::rejected);
    drawDots(data, mapping, plain.acceptedX, plain.acceptedY, PlotColor::darts);
    left.setClipRect(&frame);
    drawPlainEnvelope(left, mapping, model);
    left.setClipRect(&dotClip);
    drawLastPlainCandidate(left, mapping, frame, model, scale);
  }
  plotter.draw(panel, left);
  plotter.redrawAxes(panel, left);
  const BesideCounts plain = plainCounts(model);
  drawPanelHeading(left, frame, panelWidth - 2 * pull, "Plain rejection: " + countsText(plain),
                   "Plain: " + shortCountsText(plain),
                   {{"accepted", PlotColor::darts}, {"rejected", PlotColor::rejected}}, scale);

  ShiftedCanvas right(canvas, width - panelWidth + pull);
  paintPlot(right, panelLayout, model, scale, captionTop);
  const BesideCounts adaptive = adaptiveCounts(model);
  drawPanelHeading(right, frame, panelWidth - 2 * pull, "Adaptive: " + countsText(adaptive),
                   "Adaptive: " + shortCountsText(adaptive), {}, scale);
}
