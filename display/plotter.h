#pragma once
// One series of points drawn inside a frame whose margins are the theme's
// (classic: a fifth of the client width and height): axes, ticks with "%.2f"
// labels, and the points as a polyline or as a histogram of their x values.
#include <cstdint>
#include <string>
#include <vector>

#include "display/axis_ticks.h"
#include "display/plot_mapping.h"
#include "model/view_options.h"
#include "platform/canvas.h"

class Window;

// The axes rectangle of a client area, axis lines included (right and bottom
// exclusive), within the theme's margins (display/plot_theme.h).
Rect plotFrame(const Rect& client, PlotTheme theme = PlotTheme::classic);
// Data to pixels in that frame for the given ranges.
PlotMapping plotMapping(const Rect& client, double xMin, double xMax, double yMin, double yMax,
                        PlotTheme theme = PlotTheme::classic);
// The lowest and the highest of `values` as the plotter's autoscaling finds
// them; unchanged when there are none.
void valueRange(const std::vector<double>& values, double& low, double& high);

class Plotter {
 public:
  Plotter() = default;

  void clear();
  void addPoint(double x, double y);
  // Laid out in the window's client area, or in `client`.
  void draw(const Window& window, Canvas& canvas);
  void draw(const Rect& client, Canvas& canvas);
  // The polyline alone, as draw() draws it: over what hid it since.
  void drawCurve(const Rect& client, Canvas& canvas);
  void getMapping(const Window& window, PlotMapping& mapping) const;
  void getMapping(const Rect& client, PlotMapping& mapping) const;
  // The axes rectangle, axis lines included (right and bottom exclusive).
  Rect getFrame(const Window& window) const;
  Rect getFrame(const Rect& client) const;
  // The axis lines and tick marks once more, over what was drawn inside the
  // frame since; labels are left alone.
  void redrawAxes(const Window& window, Canvas& canvas);
  void redrawAxes(const Rect& client, Canvas& canvas);
  void rescale();
  void rebin();
  // The ticks the axes get, as the last drawing laid them out.
  AxisTicks xAxisTicks(Canvas& canvas, int pixels, int gap) const;
  AxisTicks yAxisTicks(Canvas& canvas, int pixels, int gap) const;

  Color color = 0x00FF0000;
  std::int32_t numPoints = 0;
  std::vector<double> xValues;
  std::vector<double> yValues;
  double xMax = 0.0;
  double xMin = 0.0;
  double yMax = 0.0;
  double yMin = 0.0;
  double xTickStep = 0.0;
  double yTickStep = 0.0;
  double binStart = 0.0;
  double binWidth = 0.0;
  std::int32_t numXTicks = 5;
  std::int32_t numYTicks = 5;
  std::int32_t skipFirst = 0;
  std::int32_t skipLast = 0;
  bool autoScaleX = true;
  bool autoScaleY = true;
  bool drawAxes = true;
  bool drawXTicks = true;
  bool drawYTicks = true;
  bool rangeStale = true;
  std::int32_t numBins = 20;
  bool histogramMode = false;
  // Tick marks and label gaps grow by this factor (the pens and
  // the font are the canvas's own).
  double pictureScale = 1.0;
  // Ticks at round values, for a density of any location and scale, instead
  // of the classic evenly spread "%.2f" ticks.
  bool ticksAtRoundValues = false;
  // On the normal scale, the y range starts at 0 whatever the lowest value.
  bool yFromZero = false;
  // The y labels count heights in this unit (the peak's height, for labels
  // relative to it), while the ticks stand where those heights are.
  double yUnit = 1.0;
  // Whose margins the frame keeps.
  PlotTheme theme = PlotTheme::classic;
  // What the last drawing subtracted from the x labels ("8e8"; empty: nothing).
  std::string xOffsetText;
};
