// The whole picture, drawn from the application state on every repaint:
// caption, exact curve, then the envelope while stepping or the darts.
#include <algorithm>
#include <cstdio>

#include "app/main_window.h"
#include "display/larger_dots_canvas.h"
#include "display/plot_colors.h"
#include "platform/selection.h"

namespace {
using PlotColor::black;
using PlotColor::blue;
using PlotColor::green;
using PlotColor::red;

// Where the data may draw: the axes rectangle, grown by the largest dot's
// radius so that a dot on the frame stays whole, but never into the tick
// labels, which start four pixels below and left of the axes.
Rect dataClip(const Rect& frame, int dotRadius) {
  return Rect{frame.left - std::min(dotRadius, 4), frame.top - dotRadius, frame.right + dotRadius,
              frame.bottom + std::min(dotRadius, 3)};
}
}  // namespace

void MainWindow::paint(Canvas& canvas) {
  const Rect client = hwnd->clientRect();
  // A minimised or empty client area has nothing to show.
  if (client.right - client.left <= 0 || client.bottom - client.top <= 0) return;

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

  if (logScale) {
    plotter.autoScaleX = true;
    plotter.autoScaleY = true;
    plotter.drawYTicks = true;
  } else {
    plotter.drawYTicks = false;
  }
  plotter.color = blue;
  plotter.draw(*hwnd, canvas);
  PlotMapping mapping;
  plotter.getMapping(*hwnd, mapping);

  if (!stepping && !dartsThrown) return;

  LargerDotsCanvas larger(canvas);
  Canvas& data = largerPoints ? larger : canvas;
  {
    ClipSelection clip(canvas, dataClip(plotter.getFrame(*hwnd), largerPoints ? 8 : 4));
    if (stepping) {
      sampler.drawAbscissae(data, mapping, black, logScale, curveLogOffset);
      sampler.drawUpperHull(data, mapping, red, logScale, curveLogOffset);
      sampler.drawSqueeze(data, mapping, green, logScale, curveLogOffset);
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
