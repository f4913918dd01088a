#include "display/axis_titles.h"

#include "platform/picture_scale.h"

void drawAxisTitles(Canvas& canvas, const Rect& frame, int captionTop, bool logScale, double scale) {
  if (!(scale > 1.0)) return;
  const int gap = scaledPixels(4, scale);
  const int line = canvas.textExtent("x").cy;
  // Below the x labels (which start `gap` under the axis), above the caption.
  const int xTop = frame.bottom - 1 + gap + line + gap / 2;
  if (xTop + line > captionTop) return;
  canvas.drawText("x", Rect{frame.left, xTop, frame.right, xTop + line}, DT_CENTER);

  const char* yTitle = logScale ? "log density + constant" : "density";
  // Above the topmost y label, which is centred on the top of the axis.
  const int yBottom = frame.top - line / 2 - gap;
  if (yBottom - line < 0) return;
  const int width = canvas.textExtent(yTitle).cx;
  const int left = frame.left - gap > 0 ? frame.left - gap : 0;
  canvas.drawText(yTitle, Rect{left, yBottom - line, left + width, yBottom}, 0);
}
