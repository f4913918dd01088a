// The whole picture, drawn from the application state on every repaint:
// caption, exact curve, then the envelope while stepping or the darts.
#include <algorithm>
#include <cstdio>

#include "app/main_window.h"
#include "platform/selection.h"

namespace {
constexpr Color black = 0x00000000;
constexpr Color red = 0x000000FF;
constexpr Color green = 0x0000FF00;
constexpr Color blue = 0x00FF0000;
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

  if (stepping) {
    sampler.drawAbscissae(canvas, mapping, black, logScale, curveLogOffset);
    sampler.drawUpperHull(canvas, mapping, red, logScale, curveLogOffset);
    sampler.drawSqueeze(canvas, mapping, green, logScale, curveLogOffset);
    return;
  }
  if (!dartsThrown) return;

  PenSelection pen(canvas, red);
  BrushSelection brush(canvas, red);
  const std::size_t count = std::min(dartX.size(), dartY.size());
  for (std::size_t i = 0; i < count; ++i) {
    const int px = wholePixelX(mapping, dartX[i]);
    const int py = wholePixelY(mapping, dartY[i]);
    canvas.ellipse(px - 1, py - 1, px + 1, py + 1);
  }
}
