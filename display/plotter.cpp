#include "display/plotter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "display/axis_ticks.h"
#include "display/plot_theme.h"
#include "platform/picture_scale.h"
#include "display/pixel.h"
#include "platform/selection.h"
#include "platform/window.h"

namespace {

struct Frame {
  int left, right, top, bottom, width, height;
};

Frame frameOf(const Rect& client, PlotTheme theme) {
  const int w = client.right - client.left;
  const int h = client.bottom - client.top;
  const FrameMargins m = frameMargins(theme, client);
  return {m.left, w - m.right, m.top, h - m.bottom, w - m.left - m.right, h - m.top - m.bottom};
}

// The x axis from left to right, then the y axis upwards, with the current pen.
void drawAxisLines(const Frame& f, Canvas& canvas) {
  canvas.moveTo(f.left, f.bottom);
  canvas.lineTo(f.right, f.bottom);
  canvas.moveTo(f.left, f.bottom);
  canvas.lineTo(f.left, f.top);
}

std::string label(double value) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  return buffer;
}

// The ticks of one axis: spread evenly from its low end by `step` (the
// classic axes, "%.2f" labels), or at round values with labels kept apart.
AxisTicks axisTicks(bool round, double low, double high, double step, int count, int pixels,
                    const LabelExtent& extent, int gap) {
  if (round) return roundTicks(low, high, pixels, extent, gap);
  AxisTicks result;
  int ticks = 0;
  // Bounded, so that a step lost in rounding cannot loop for ever.
  for (double t = low; t <= high && ticks <= count; t += step, ++ticks) result.ticks.push_back({t, label(t)});
  return result;
}

}  // namespace

Rect plotFrame(const Rect& client, PlotTheme theme) {
  const Frame f = frameOf(client, theme);
  return Rect{f.left, f.top, f.right + 1, f.bottom + 1};
}

PlotMapping plotMapping(const Rect& client, double xMin, double xMax, double yMin, double yMax, PlotTheme theme) {
  const Frame f = frameOf(client, theme);
  const double xSpan = xMax - xMin;
  const double ySpan = yMax - yMin;
  PlotMapping mapping;
  mapping.originX = f.left;
  mapping.originY = f.bottom;
  // A zero-width range maps everything onto the origin instead of dividing by zero.
  mapping.scaleX = xSpan != 0 ? f.width / xSpan : 0.0;
  mapping.scaleY = ySpan != 0 ? f.height / ySpan : 0.0;
  mapping.xMin = xMin;
  mapping.yMin = yMin;
  return mapping;
}

void valueRange(const std::vector<double>& values, double& low, double& high) {
  if (values.empty()) return;
  low = high = values.front();
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (values[i] > high) high = values[i];
    if (values[i] < low) low = values[i];
  }
}

void Plotter::clear() {
  numPoints = 0;
  xValues.clear();
  yValues.clear();
  rangeStale = true;
}

void Plotter::addPoint(double x, double y) {
  xValues.push_back(x);
  yValues.push_back(y);
  ++numPoints;
  rangeStale = true;
}

void Plotter::getMapping(const Window& window, PlotMapping& mapping) const {
  getMapping(window.clientRect(), mapping);
}

void Plotter::getMapping(const Rect& client, PlotMapping& mapping) const {
  mapping = plotMapping(client, xMin, xMax, yMin, yMax, theme);
}

Rect Plotter::getFrame(const Window& window) const { return plotFrame(window.clientRect(), theme); }

Rect Plotter::getFrame(const Rect& client) const { return plotFrame(client, theme); }

void Plotter::redrawAxes(const Window& window, Canvas& canvas) { redrawAxes(window.clientRect(), canvas); }

void Plotter::redrawAxes(const Rect& client, Canvas& canvas) {
  const Frame f = frameOf(client, theme);
  if (drawAxes) drawAxisLines(f, canvas);
  if (numPoints < 2) return;
  const int tick = scaledPixels(2, pictureScale);
  const int gap = scaledPixels(4, pictureScale);
  const double xSpan = xMax - xMin;
  const double ySpan = yMax - yMin;
  if (drawXTicks && xSpan != 0) {
    for (const AxisTick& t : xAxisTicks(canvas, f.width, gap).ticks) {
      const int px = f.left + toPixel((t.value - xMin) * f.width / xSpan);
      canvas.moveTo(px, f.bottom - tick);
      canvas.lineTo(px, f.bottom + tick);
    }
  }
  if (drawYTicks && ySpan != 0) {
    for (const AxisTick& t : yAxisTicks(canvas, f.height, gap).ticks) {
      const int py = f.bottom - toPixel((t.value - yMin) * f.height / ySpan);
      canvas.moveTo(f.left - tick, py);
      canvas.lineTo(f.left + tick, py);
    }
  }
}

AxisTicks Plotter::xAxisTicks(Canvas& canvas, int pixels, int gap) const {
  const LabelExtent width = [&canvas](const std::string& text) { return canvas.textExtent(text).cx; };
  return axisTicks(ticksAtRoundValues, xMin, xMax, xTickStep, numXTicks, pixels, width, 2 * gap);
}

AxisTicks Plotter::yAxisTicks(Canvas& canvas, int pixels, int gap) const {
  const LabelExtent height = [&canvas](const std::string& text) { return canvas.textExtent(text).cy; };
  if (yUnit == 1.0) return axisTicks(ticksAtRoundValues, yMin, yMax, yTickStep, numYTicks, pixels, height, gap);
  AxisTicks ticks = axisTicks(ticksAtRoundValues, yMin / yUnit, yMax / yUnit, yTickStep / yUnit, numYTicks, pixels,
                              height, gap);
  for (AxisTick& t : ticks.ticks) t.value *= yUnit;
  return ticks;
}

void Plotter::rescale() {
  if (!rangeStale) return;
  if (autoScaleX) valueRange(xValues, xMin, xMax);
  if (histogramMode) rebin();
  if (autoScaleY) valueRange(yValues, yMin, yMax);
  if (autoScaleY && yFromZero && yMin > 0) yMin = 0;
  xTickStep = (xMax - xMin) / numXTicks;
  yTickStep = (yMax - yMin) / numYTicks;
  rangeStale = false;
}

void Plotter::rebin() {
  if (numBins <= 0) return;
  binStart = xMin;
  binWidth = (xMax - xMin) / numBins;
  yValues.assign(numBins, 0.0);
  double total = 0;
  const std::size_t count = std::min<std::size_t>(numPoints, xValues.size());
  for (std::size_t i = 0; i < count; ++i) {
    const double x = xValues[i];
    double edge = xMin;
    for (int j = 0; j < numBins; ++j) {
      edge += binWidth;
      if (edge >= x) {
        yValues[j] += 1;
        total += 1;
        break;
      }
    }
  }
  if (total == 0) return;
  const double scale = 1 / (binWidth * total);
  for (double& height : yValues) height *= scale;
}

void Plotter::draw(const Window& window, Canvas& canvas) { draw(window.clientRect(), canvas); }

void Plotter::draw(const Rect& client, Canvas& canvas) {
  const Frame f = frameOf(client, theme);
  if (drawAxes) drawAxisLines(f, canvas);

  if (numPoints < 2) {
    const std::string text = "No data to plot";
    const Size size = canvas.textExtent(text);
    Rect r;
    r.left = (f.left + f.right - size.cx) / 2;
    r.top = (f.bottom + f.top - size.cy) / 2;
    r.right = r.left + size.cx;
    r.bottom = r.top + size.cy;
    canvas.drawText(text, r, DT_CENTER);
    return;
  }

  rescale();
  const int tick = scaledPixels(2, pictureScale);
  const int gap = scaledPixels(4, pictureScale);
  const double xSpan = xMax - xMin;
  const double ySpan = yMax - yMin;
  // Zero-width axes get no ticks and no data: both would divide by zero.
  const bool xUsable = xSpan != 0;
  const bool yUsable = ySpan != 0;

  xOffsetText.clear();
  if (drawXTicks && xUsable) {
    const AxisTicks ticks = xAxisTicks(canvas, f.width, gap);
    xOffsetText = ticks.offsetText;
    for (const AxisTick& t : ticks.ticks) {
      const int px = f.left + toPixel((t.value - xMin) * f.width / xSpan);
      canvas.moveTo(px, f.bottom - tick);
      canvas.lineTo(px, f.bottom + tick);
      const Size size = canvas.textExtent(t.label);
      Rect r;
      r.left = px - size.cx / 2;
      r.right = r.left + size.cx;
      r.top = f.bottom + gap;
      r.bottom = f.bottom + gap + size.cy;
      canvas.drawText(t.label, r, DT_CENTER);
    }
  }

  if (drawYTicks && yUsable) {
    for (const AxisTick& t : yAxisTicks(canvas, f.height, gap).ticks) {
      const int py = f.bottom - toPixel((t.value - yMin) * f.height / ySpan);
      canvas.moveTo(f.left - tick, py);
      canvas.lineTo(f.left + tick, py);
      const Size size = canvas.textExtent(t.label);
      Rect r;
      r.right = f.left - gap;
      r.left = f.left - gap - size.cx;
      r.top = py - size.cy / 2;
      r.bottom = r.top + size.cy;
      canvas.drawText(t.label, r, DT_CENTER);
    }
  }

  if (!xUsable || !yUsable) return;

  if (!histogramMode) {
    drawCurve(client, canvas);
    return;
  }

  BrushSelection brush(canvas, color);
  if (std::fabs(xSpan / numBins - binWidth) > 1e-6 ||
      yValues.size() < static_cast<std::size_t>(std::max(numBins, 0))) {
    rebin();
  }
  const double barWidth = f.width * binWidth / xSpan;
  double edge = binStart;
  int previousRight = 0;
  for (int i = 0; i < numBins; ++i) {
    const int ex = f.left + toPixel((edge - xMin) * f.width / xSpan);
    Rect bar;
    bar.left = i == 0 ? ex : previousRight + 2;
    bar.right = ex + toPixel(barWidth) - 1;
    bar.top = f.bottom - toPixel((yValues[i] - yMin) * f.height / ySpan);
    bar.bottom = f.bottom;
    canvas.frameRect(bar, color);
    previousRight = bar.right;
    edge += binWidth;
  }
}

void Plotter::drawCurve(const Rect& client, Canvas& canvas) {
  if (numPoints >= 2) rescale();
  const Frame f = frameOf(client, theme);
  const double xSpan = xMax - xMin;
  const double ySpan = yMax - yMin;
  if (numPoints < 2 || xSpan == 0 || ySpan == 0) return;
  // The curve stays inside the axes rectangle, whatever its values.
  const Rect frame{f.left, f.top, f.right + 1, f.bottom + 1};
  ClipSelection clip(canvas, frame);
  PenSelection pen(canvas, color);
  const int end = std::min<int>({numPoints, static_cast<int>(xValues.size()),
                                 static_cast<int>(yValues.size())}) - skipLast;
  if (skipFirst < 0 || skipFirst >= end) return;
  if (canvas.keepsFractions()) {
    // Unrounded, for a vector picture: the same points before truncation.
    auto exact = [&](int i, double& px, double& py) {
      px = f.left + (xValues[i] - xMin) * f.width / xSpan;
      py = f.bottom - (yValues[i] - yMin) * f.height / ySpan;
    };
    double ex = 0, ey = 0;
    exact(skipFirst, ex, ey);
    canvas.moveToF(ex, ey);
    for (int i = skipFirst + 1; i < end; ++i) {
      exact(i, ex, ey);
      canvas.lineToF(ex, ey);
    }
    return;
  }
  auto pixel = [&](int i, int& px, int& py) {
    px = f.left + toPixel((xValues[i] - xMin) * f.width / xSpan);
    py = f.bottom - toPixel((yValues[i] - yMin) * f.height / ySpan);
  };
  int px = 0, py = 0;
  pixel(skipFirst, px, py);
  canvas.moveTo(px, py);
  for (int i = skipFirst + 1; i < end; ++i) {
    pixel(i, px, py);
    canvas.lineTo(px, py);
  }
}
