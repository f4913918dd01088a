#pragma once
// Canvas over a JavaScript object with the same calls (html_canvas.js draws
// them on an HTML canvas, recording_canvas.js logs them). The selections'
// return values are kept here, so the JavaScript side only draws.
#include <emscripten/val.h>

#include "platform/canvas.h"

class JsCanvas : public Canvas {
 public:
  explicit JsCanvas(emscripten::val target) : target_(std::move(target)) {}

  Color selectPen(Color color) override;
  Color selectBrush(Color color) override;
  PenStyle selectPenStyle(PenStyle style) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void ellipse(int left, int top, int right, int bottom) override;
  void frameRect(const Rect& rect, Color brush) override;
  Size textExtent(const std::string& text) override;
  void drawText(const std::string& text, const Rect& rect, unsigned format) override;
  Color setTextColor(Color color) override;
  void setClipRect(const Rect* rect) override;
  void setPenWidth(int width) override;
  void setTextScale(double scale) override;

 private:
  emscripten::val target_;
  Color pen_ = 0x00000000;
  Color brush_ = 0x00FFFFFF;
  Color textColor_ = 0x00000000;
  PenStyle penStyle_ = PenStyle::solid;
};
