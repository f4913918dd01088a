#include "frontends/web/js_canvas.h"

#include <utility>

using emscripten::val;

Color JsCanvas::selectPen(Color color) {
  target_.call<void>("selectPen", color);
  return std::exchange(pen_, color);
}

Color JsCanvas::selectBrush(Color color) {
  target_.call<void>("selectBrush", color);
  return std::exchange(brush_, color);
}

PenStyle JsCanvas::selectPenStyle(PenStyle style) {
  target_.call<void>("selectPenStyle", style == PenStyle::dashed);
  return std::exchange(penStyle_, style);
}

void JsCanvas::moveTo(int x, int y) { target_.call<void>("moveTo", x, y); }

void JsCanvas::lineTo(int x, int y) { target_.call<void>("lineTo", x, y); }

void JsCanvas::ellipse(int left, int top, int right, int bottom) {
  target_.call<void>("ellipse", left, top, right, bottom);
}

void JsCanvas::frameRect(const Rect& rect, Color brush) {
  target_.call<void>("frameRect", rect.left, rect.top, rect.right, rect.bottom, brush);
}

Size JsCanvas::textExtent(const std::string& text) {
  const val size = target_.call<val>("textExtent", text);
  return {size[0].as<int>(), size[1].as<int>()};
}

void JsCanvas::drawText(const std::string& text, const Rect& rect, unsigned format) {
  target_.call<void>("drawText", text, rect.left, rect.top, rect.right, rect.bottom, format);
}

Color JsCanvas::setTextColor(Color color) {
  target_.call<void>("setTextColor", color);
  return std::exchange(textColor_, color);
}

void JsCanvas::setClipRect(const Rect* rect) {
  if (rect == nullptr) {
    target_.call<void>("setClipRect", val::null());
  } else {
    target_.call<void>("setClipRect", rect->left, rect->top, rect->right, rect->bottom);
  }
}

void JsCanvas::setPenWidth(int width) { target_.call<void>("setPenWidth", width); }

void JsCanvas::setTextScale(double scale) { target_.call<void>("setTextScale", scale); }
