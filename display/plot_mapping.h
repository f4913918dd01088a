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
