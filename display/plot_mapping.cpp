#include "display/plot_mapping.h"

#include "display/pixel.h"

int wholePixelX(const PlotMapping& mapping, double x) {
  return toPixel(mapping.originX + (x - mapping.xMin) * mapping.scaleX);
}

int wholePixelY(const PlotMapping& mapping, double y) {
  return toPixel(mapping.originY - (y - mapping.yMin) * mapping.scaleY);
}
