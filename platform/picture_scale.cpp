#include "platform/picture_scale.h"

#include <algorithm>
#include <cmath>

double pictureScale(const Rect& client) {
  const double byWidth = (client.right - client.left) / 400.0;
  const double byHeight = (client.bottom - client.top) / 300.0;
  return std::max(1.0, std::min(byWidth, byHeight));
}

int scaledPixels(int pixels, double scale) {
  return static_cast<int>(std::lround(pixels * scale));
}
