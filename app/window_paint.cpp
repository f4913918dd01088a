// The whole picture, drawn from the application state on every repaint:
// caption, exact curve, then the envelope while stepping or the darts.
#include <algorithm>
#include <cstdio>

#include "app/main_window.h"
#include "display/axis_titles.h"
#include "display/candidate_marker.h"
#include "display/envelope_drawing.h"
#include "display/larger_dots_canvas.h"
#include "display/picture_scale.h"
#include "display/plot_colors.h"
#include "display/proof_drawing.h"
#include "platform/selection.h"

namespace {
using PlotColor::black;
using PlotColor::blue;
using PlotColor::green;
using PlotColor::red;

// Where the data may draw: the axes rectangle, grown by the largest dot's
// radius so that a dot on the frame stays whole, but never into the tick
// labels, which start `gap` pixels below and left of the axes.
Rect dataClip(const Rect& frame, int dotRadius, int gap) {
  return Rect{frame.left - std::min(dotRadius, gap), frame.top - dotRadius, frame.right + dotRadius,
              frame.bottom + std::min(dotRadius, gap - 1)};
}
}  // namespace

void MainWindow::paint(Canvas& canvas) {
  const Rect client = hwnd->clientRect();
  // A minimised or empty client area has nothing to show.
  if (client.right - client.left <= 0 || client.bottom - client.top <= 0) return;
  // Pens, dots, ticks and text grow with the window; at its opening size
  // the factor is 1 and the picture is the classic one.
  const double scale = pictureScale(client);
  canvas.setPenWidth(scaledPixels(1, scale));
  canvas.setTextScale(scale);

  char caption[256];
  if (densityKind <= 2) {
    std::snprintf(caption, sizeof caption, "Beta distribution: alpha = %.3f, beta = %.3f", alpha,
                  beta);
  } else if (densityKind <= 5) {
    std::snprintf(caption, sizeof caption, "Gamma distribution: alpha = %.3f, beta = %.3f",
                  alpha, beta);
  } else if (densityKind == otherDensityKind) {
    std::snprintf(caption, sizeof caption, "%s", otherChoice.caption.c_str());
  } else {
    std::snprintf(caption, sizeof caption, "Test density");
  }
  const int cy = canvas.textExtent(caption).cy;
  Rect band = client;
  band.top = client.bottom - (3 * cy) / 2;
  band.bottom = client.bottom - cy / 2;
  canvas.setTextColor(red);
  canvas.drawText(caption, band, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  canvas.setTextColor(black);

  preparePlot();
  plotter.color = blue;
  plotter.pictureScale = scale;
  plotter.draw(*hwnd, canvas);
  PlotMapping mapping;
  plotter.getMapping(*hwnd, mapping);
  const Rect frame = plotter.getFrame(*hwnd);
  drawAxisTitles(canvas, frame, band.top, logScale, scale, xAxisTitle(plotter.xOffsetText));

  // A proof of non-log-concavity keeps its envelope on screen after stepping ended.
  const bool envelopeShown = stepping || proof.has_value();
  if (!envelopeShown && !dartsThrown) return;

  const double dotFactor = (largerPoints ? 2.0 : 1.0) * scale;
  LargerDotsCanvas larger(canvas, dotFactor);
  Canvas& data = dotFactor != 1.0 ? larger : canvas;
  {
    const int gap = scaledPixels(4, scale);
    const Rect dotClip = dataClip(frame, scaledPixels(largerPoints ? 8 : 4, scale), gap);
    ClipSelection clip(canvas, dotClip);
    if (envelopeShown) {
      drawAbscissae(data, sampler, mapping, black, logScale, curveLogOffset);
      // A typed density's pieces may reach far beyond the plot or be far narrower than 0.01.
      const bool typed = densityKind == otherDensityKind;
      const EnvelopeTrace trace = typed ? traceInView(mapping, frame) : EnvelopeTrace{};
      // Lines end at the frame, where only dots may overhang it; the picture
      // at the opening size keeps its classic clip.
      const bool framedLines = typed || scale > 1.0;
      if (framedLines) canvas.setClipRect(&frame);
      drawUpperHull(data, sampler, mapping, red, logScale, curveLogOffset, trace);
      drawSqueeze(data, sampler, mapping, green, logScale, curveLogOffset, trace);
      if (framedLines) canvas.setClipRect(&dotClip);
      if (proof) drawProofHighlight(canvas, mapping, *proof, logScale, curveLogOffset, scale);
      if (sampler.hasLastDraw) {
        const double height = logScale ? sampler.lastLogY + curveLogOffset
                                       : shiftedExp(sampler.lastLogY, curveLogOffset);
        drawCandidateMarker(canvas, frame, wholePixelX(mapping, sampler.lastX),
                            wholePixelY(mapping, height), scale);
      }
    } else if (comparing) {
      drawPlainRejection(data, mapping);
    } else if (histogramShown && !dartX.empty()) {
      drawHistogram(canvas, mapping);
    } else {
      PenSelection pen(data, red);
      BrushSelection brush(data, red);
      const std::size_t count = std::min(dartX.size(), dartY.size());
      for (std::size_t i = 0; i < count; ++i) {
        const int px = wholePixelX(mapping, dartX[i]);
        const int py = wholePixelY(mapping, dartY[i]);
        data.ellipse(px - 1, py - 1, px + 1, py + 1);
      }
    }
  }
  // The bars lie behind the curve: it is drawn again over them.
  if (!stepping && !comparing && histogramShown && !dartX.empty()) plotter.draw(*hwnd, canvas);
  // Data that reached the axes lies under them, not over them.
  plotter.redrawAxes(*hwnd, canvas);
}
