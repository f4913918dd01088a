#pragma once
// Passes everything on to another surface, with every ellipse grown about its
// centre by a factor: the data dots for a projector, or for a larger picture.
#include "platform/canvas.h"

class LargerDotsCanvas : public Canvas {
 public:
  explicit LargerDotsCanvas(Canvas& target, double factor = 2.0) : target_(target), factor_(factor) {}

  Color selectPen(Color color) override { return target_.selectPen(color); }
  Color selectBrush(Color color) override { return target_.selectBrush(color); }
  PenStyle selectPenStyle(PenStyle style) override { return target_.selectPenStyle(style); }
  void moveTo(int x, int y) override { target_.moveTo(x, y); }
  void lineTo(int x, int y) override { target_.lineTo(x, y); }
  void ellipse(int left, int top, int right, int bottom) override;
  void frameRect(const Rect& rect, Color brush) override { target_.frameRect(rect, brush); }
  Size textExtent(const std::string& text) override { return target_.textExtent(text); }
  void drawText(const std::string& text, const Rect& rect, unsigned format) override {
    target_.drawText(text, rect, format);
  }
  Color setTextColor(Color color) override { return target_.setTextColor(color); }
  void setClipRect(const Rect* rect) override { target_.setClipRect(rect); }
  void setPenWidth(int width) override { target_.setPenWidth(width); }
  void setTextScale(double scale) override { target_.setTextScale(scale); }
  bool keepsFractions() const override { return target_.keepsFractions(); }
  void moveToF(double x, double y) override { target_.moveToF(x, y); }
  void lineToF(double x, double y) override { target_.lineToF(x, y); }

 private:
  Canvas& target_;
  double factor_;
};
