#pragma once
// The plot's layout for the model in a client area, computed once per change
// of either: the ranges the plotter draws (the curve's, widened for the whole
// envelope where that is shown), the axes' frame and the mapping of data to
// pixels. The picture and the status line read it; neither lays out again.
#include <vector>

#include "display/axis_titles.h"
#include "display/hull_range.h"
#include "display/plot_mapping.h"
#include "display/plotter.h"
#include "model/view_options.h"
#include "platform/canvas.h"

struct CurveState;
struct WindowModel;

// The ranges on the curve's scale, and the steps of the classic ticks.
struct PlotRanges {
  double xMin = 0.0;
  double xMax = 1.0;
  double yMin = 0.0;
  double yMax = 0.0;
  double xTickStep = 0.0;
  double yTickStep = 0.0;
};

// A vertical range held while stepping (View > Fixed vertical axis): the
// plotted range holds it, and grows beyond it only where the picture would
// otherwise cut what it shows.
struct VerticalHold {
  double yMin = 0.0;
  double yMax = 0.0;
};

struct PlotLayout {
  Rect client;
  PlotTheme theme = PlotTheme::classic;
  // Two points at least: without them the plot says it has no data.
  bool curveShown = false;
  PlotRanges ranges;
  // The log and T scales label their heights; the normal scale's matter only
  // by shape, unless the axis is held or the projector shows it.
  bool yTicks = false;
  bool roundTicks = false;
  // The whole envelope's hull rises above the top of the plot, which marks where it is cut.
  bool hullCut = false;
  // Where a typed density's shown hull lies below the density: no envelope there.
  std::vector<HullCut> hullGaps;
  VerticalScale vertical = VerticalScale::normal;
  // What the y labels count in: on a labelled normal scale, the curve's peak.
  double yUnit = 1.0;
  Rect frame;
  PlotMapping mapping;
};

PlotLayout layoutPlot(const WindowModel& model, const Rect& client, const VerticalHold* hold = nullptr);
// The same ranges framed in another client area (a panel of the comparison).
PlotLayout layoutIn(const PlotLayout& layout, const Rect& client);
// The plotter that draws the curve as laid out: its points, ranges and ticks.
Plotter curvePlotter(const CurveState& curve, const PlotLayout& layout, double pictureScale);
// The log density (on the sampler's scale) at the top of the plotted range:
// the hull above it is cut.
double logAtTop(const PlotLayout& layout, const CurveState& curve, bool logScale);
