#include "display/axis_titles.h"

#include <algorithm>

#include "platform/picture_scale.h"

namespace {

// In the right margin, just above the x axis: the one place that no label,
// title or caption takes, whatever the window's size. A title too long for
// the margin reaches back over the frame rather than off the window.
void drawAtAxisEnd(Canvas& canvas, const Rect& frame, const std::string& title, int gap) {
  const Size size = canvas.textExtent(title);
  const int line = size.cy;
  const int clientRight = frame.right - 1 + frame.left;
  const int left = std::min(frame.right - 1 + gap, clientRight - size.cx);
  canvas.drawText(title, Rect{left, frame.bottom - 1 - gap - line, clientRight, frame.bottom - 1 - gap}, 0);
}

// Over the y axis, above its topmost label (centred on the top of the axis).
void drawYTitle(Canvas& canvas, const Rect& frame, VerticalScale vertical, int gap, int line) {
  const int yBottom = frame.top - line / 2 - gap;
  if (yBottom - line < 0) return;
  const char* yTitle = yAxisTitle(vertical);
  const int width = canvas.textExtent(yTitle).cx;
  const int left = frame.left - gap > 0 ? frame.left - gap : 0;
  canvas.drawText(yTitle, Rect{left, yBottom - line, left + width, yBottom}, 0);
}

}  // namespace

const char* yAxisTitle(VerticalScale vertical) {
  switch (vertical) {
    case VerticalScale::log:
      return "log density + constant";
    case VerticalScale::t:
      return "T scale: \xe2\x88\x92" "1/\xe2\x88\x9a(density / peak)";
    case VerticalScale::relative:
      return "density / peak";
    case VerticalScale::normal:
      break;
  }
  return "density";
}

std::string xAxisTitle(const std::string& offsetText) {
  if (offsetText.empty()) return "x";
  // A negative offset is added: "x + 8e8", not "x − -8e8".
  if (offsetText[0] == '-') return "x + " + offsetText.substr(1);
  return "x \xe2\x88\x92 " + offsetText;
}

void drawAxisTitles(Canvas& canvas, const Rect& frame, int captionTop, VerticalScale vertical, double scale,
                    const std::string& xTitle) {
  const int gap = scaledPixels(4, scale);
  const bool offset = xTitle != "x";
  if (!(scale > 1.0)) {
    if (offset) drawAtAxisEnd(canvas, frame, xTitle, gap);
    // Heights that are neither the density nor its log need saying at any size.
    if (vertical == VerticalScale::t || vertical == VerticalScale::relative) drawYTitle(canvas, frame, vertical, gap, canvas.textExtent("x").cy);
    return;
  }
  const int line = canvas.textExtent("x").cy;
  // Below the x labels (which start `gap` under the axis), above the caption.
  const int xTop = frame.bottom - 1 + gap + line + gap / 2;
  if (xTop + line > captionTop) {
    // Narrow margins (the projector's): x only where its labels are offset.
    if (offset) drawAtAxisEnd(canvas, frame, xTitle, gap);
  } else {
    canvas.drawText(xTitle, Rect{frame.left, xTop, frame.right, xTop + line}, DT_CENTER);
  }
  drawYTitle(canvas, frame, vertical, gap, line);
}
