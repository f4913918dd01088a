#include "studio/beside_picture.h"

#include <algorithm>
#include <string>
#include <utility>
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

// The panels' titles, the longest form that fits both panels: the same
// words on each side, so that the figures are read across.
std::pair<std::string, std::string> titles(Canvas& canvas, const WindowModel& model, int width) {
  const BesideCounts plain = plainCounts(model);
  const BesideCounts adaptive = adaptiveCounts(model);
  // Fewer figures as the panels narrow; the status line has them all.
  const auto figures = [](const BesideCounts& c, int form) {
    return (form < 2 ? groupedDigits(c.candidates) + " candidates, " : std::string()) +
           groupedDigits(c.evaluations) + " evaluations" +
           (form < 3 ? ", " + groupedDigits(c.accepted) + " accepted" : std::string());
  };
  std::pair<std::string, std::string> shown;
  for (int form = 0; form < 4; ++form) {
    shown = {(form == 0 ? "Plain rejection: " : "Plain: ") + figures(plain, form),
             "Adaptive: " + figures(adaptive, form)};
    if (canvas.textExtent(shown.first).cx <= width && canvas.textExtent(shown.second).cx <= width) break;
  }
  return shown;
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
    // Its 1% above the curve's peak may lie just above the frame, with the candidates under it.
    drawPlainEnvelope(left, mapping, model);
    drawLastPlainCandidate(left, mapping, frame, model, scale);
  }
  plotter.draw(panel, left);
  plotter.redrawAxes(panel, left);
  // Each title centred over its frame, clear of the other and of the window's edges.
  const int leftCentre = (frame.left + frame.right) / 2 - pull;
  const int rightCentre = leftCentre + width - panelWidth + 2 * pull;
  const int titleWidth = std::min({rightCentre - leftCentre - scaledPixels(16, scale), 2 * leftCentre,
                                   2 * (width - rightCentre)});
  const auto [plainTitle, adaptiveTitle] = titles(canvas, model, titleWidth);
  drawPanelHeading(left, frame, titleWidth, plainTitle, plainTitle,
                   {{"accepted", PlotColor::darts}, {"rejected", PlotColor::rejected}}, scale);

  ShiftedCanvas right(canvas, width - panelWidth + pull);
  paintPlot(right, panelLayout, model, scale, captionTop);
  drawPanelHeading(right, frame, titleWidth, adaptiveTitle, adaptiveTitle, {}, scale);
}
