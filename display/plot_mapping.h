#pragma once

// Data to client pixels, as the plotter's last drawing used it:
// (originX + (x - xMin) * scaleX, originY - (y - yMin) * scaleY).
struct PlotMapping {
  int originX = 0;
  int originY = 0;
  double scaleX = 0.0;
  double scaleY = 0.0;
  double xMin = 0.0;
  double yMin = 0.0;
};

// The pixel of a data point, truncating origin plus offset as a whole
// (darts, points and the upper hull; the plotter itself and the squeeze
// truncate the offset alone).
int wholePixelX(const PlotMapping& mapping, double x);
int wholePixelY(const PlotMapping& mapping, double y);
