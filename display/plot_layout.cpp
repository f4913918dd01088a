#include "display/plot_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "display/envelope_view.h"
#include "display/hull_gaps.h"
#include "display/plot_colors.h"
#include "display/plot_theme.h"
#include "model/window_model.h"

namespace {
// The classic axes' ticks, spread evenly over each range.
constexpr std::int32_t tickCount = 5;
}  // namespace

PlotLayout layoutPlot(const WindowModel& model, const Rect& client, const VerticalHold* hold) {
  const CurveState& curve = model.curve;
  PlotLayout layout;
  layout.theme = model.view.theme;
  layout.curveShown = curve.xValues.size() >= 2 && curve.yValues.size() >= 2;
  const bool logHeights = model.view.logScale || curve.tScale;
  const bool projector = model.view.theme == PlotTheme::projector;
  // A held axis says where it stands; the projector labels every scale.
  layout.yTicks = logHeights || model.view.fixedAxis || projector;
  layout.roundTicks = curve.roundTicks || model.view.fixedAxis || projector;
  layout.vertical = curve.tScale ? VerticalScale::t : model.view.logScale ? VerticalScale::log : VerticalScale::normal;
  PlotRanges& r = layout.ranges;
  r.xMin = curve.xMin;
  r.xMax = curve.xMax;
  if (layout.curveShown) {
    // The normal scale shows the whole plotted range; the log and T scales
    // the curve's points, where a zero of the density has no height.
    if (logHeights) valueRange(curve.xValues, r.xMin, r.xMax);
    valueRange(curve.yValues, r.yMin, r.yMax);
    if (curve.fromZero && r.yMin > 0) r.yMin = 0;
    layout.hullCut = fitEnvelopeInView(r, curve, model);
    layout.hullGaps = shownHullGaps(model, r.xMin, r.xMax);
    if (hold != nullptr) {
      r.yMin = std::min(r.yMin, hold->yMin);
      r.yMax = std::max(r.yMax, hold->yMax);
    }
    // The normal scale's heights are the density times a constant: labelled,
    // they are read as shares of the peak.
    if (layout.yTicks && layout.vertical == VerticalScale::normal) {
      const double peak = *std::max_element(curve.yValues.begin(), curve.yValues.end());
      if (peak > 0 && std::isfinite(peak)) {
        layout.yUnit = peak;
        layout.vertical = VerticalScale::relative;
      }
    }
  }
  r.xTickStep = (r.xMax - r.xMin) / tickCount;
  r.yTickStep = (r.yMax - r.yMin) / tickCount;
  return layoutIn(layout, client);
}

PlotLayout layoutIn(const PlotLayout& layout, const Rect& client) {
  PlotLayout framed = layout;
  const PlotRanges& r = layout.ranges;
  framed.client = client;
  framed.frame = plotFrame(client, layout.theme);
  framed.mapping = plotMapping(client, r.xMin, r.xMax, r.yMin, r.yMax, layout.theme);
  return framed;
}

Plotter curvePlotter(const CurveState& curve, const PlotLayout& layout, double pictureScale) {
  Plotter plotter;
  plotter.xValues = curve.xValues;
  plotter.yValues = curve.yValues;
  plotter.numPoints = static_cast<std::int32_t>(std::min(curve.xValues.size(), curve.yValues.size()));
  const PlotRanges& r = layout.ranges;
  plotter.xMin = r.xMin;
  plotter.xMax = r.xMax;
  plotter.yMin = r.yMin;
  plotter.yMax = r.yMax;
  plotter.xTickStep = r.xTickStep;
  plotter.yTickStep = r.yTickStep;
  plotter.numXTicks = tickCount;
  plotter.numYTicks = tickCount;
  // The layout's ranges are drawn as they are.
  plotter.autoScaleX = false;
  plotter.autoScaleY = false;
  plotter.rangeStale = false;
  plotter.drawYTicks = layout.yTicks;
  plotter.yUnit = layout.yUnit;
  plotter.ticksAtRoundValues = layout.roundTicks;
  plotter.color = themeLook(layout.theme).curve;
  plotter.theme = layout.theme;
  plotter.pictureScale = pictureScale;
  return plotter;
}

double logAtTop(const PlotLayout& layout, const CurveState& curve, bool logScale) {
  const double top = layout.ranges.yMax;
  return (logScale ? top : std::log(top)) - curve.logOffset;
}
