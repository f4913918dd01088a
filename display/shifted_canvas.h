#pragma once
// Passes everything on to another surface moved right by a number of pixels:
// one panel of a picture drawn side by side with another.
#include "platform/canvas.h"

class ShiftedCanvas : public Canvas {
 public:
  ShiftedCanvas(Canvas& target, int dx) : target_(target), dx_(dx) {}

  Color selectPen(Color color) override { return target_.selectPen(color); }
  Color selectBrush(Color color) override { return target_.selectBrush(color); }
  PenStyle selectPenStyle(PenStyle style) override { return target_.selectPenStyle(style); }
  void moveTo(int x, int y) override { target_.moveTo(x + dx_, y); }
  void lineTo(int x, int y) override { target_.lineTo(x + dx_, y); }
  void ellipse(int left, int top, int right, int bottom) override {
    target_.ellipse(left + dx_, top, right + dx_, bottom);
  }
  void frameRect(const Rect& rect, Color brush) override { target_.frameRect(shifted(rect), brush); }
  Size textExtent(const std::string& text) override { return target_.textExtent(text); }
  void drawText(const std::string& text, const Rect& rect, unsigned format) override {
    target_.drawText(text, shifted(rect), format);
  }
  Color setTextColor(Color color) override { return target_.setTextColor(color); }
  void setClipRect(const Rect* rect) override {
    if (rect == nullptr) {
      target_.setClipRect(nullptr);
      return;
    }
    const Rect moved = shifted(*rect);
    target_.setClipRect(&moved);
  }
  void setPenWidth(int width) override { target_.setPenWidth(width); }
  void setTextScale(double scale) override { target_.setTextScale(scale); }
  bool keepsFractions() const override { return target_.keepsFractions(); }
  void moveToF(double x, double y) override { target_.moveToF(x + dx_, y); }
  void lineToF(double x, double y) override { target_.lineToF(x + dx_, y); }

 private:
  Rect shifted(Rect rect) const {
    rect.left += dx_;
    rect.right += dx_;
    return rect;
  }
  Canvas& target_;
  int dx_;
};
