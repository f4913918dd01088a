#pragma once
// A drawing surface that records every primitive with its exact coordinates
// and the pen, brush and text colour in force.
#include <string>
#include <vector>

#include "platform/canvas.h"

struct Primitive {
  enum Kind { Move, Line, Ellipse, Frame, Text } kind;
  int a, b, c, d;  // x, y for Move/Line; the box for Ellipse/Frame/Text
  Color pen;
  Color brush;  // Ellipse: fill; Frame: the frame's brush
  Color textColor;
  std::string text;
  unsigned format;
  bool clipped;  // a clip box was in force
  Rect clip;
  int penWidth;      // of the pen (lines, ellipse outlines)
  PenStyle penStyle;  // of the pen (lines)
  double textScale;  // of the font (text)
};

class RecordingCanvas : public Canvas {
 public:
  Color selectPen(Color color) override {
    const Color previous = pen;
    pen = color;
    ++selections;
    return previous;
  }
  Color selectBrush(Color color) override {
    const Color previous = brush;
    brush = color;
    ++selections;
    return previous;
  }
  PenStyle selectPenStyle(PenStyle style) override {
    const PenStyle previous = penStyle;
    penStyle = style;
    return previous;
  }
  void moveTo(int x, int y) override { record(Primitive::Move, x, y, 0, 0, brush); }
  void lineTo(int x, int y) override { record(Primitive::Line, x, y, 0, 0, brush); }
  void ellipse(int l, int t, int r, int b) override { record(Primitive::Ellipse, l, t, r, b, brush); }
  void frameRect(const Rect& r, Color frameBrush) override {
    record(Primitive::Frame, r.left, r.top, r.right, r.bottom, frameBrush);
  }
  // A fixed-pitch font: 7 pixels a character, 13 a line.
  Size textExtent(const std::string& text) override {
    return {static_cast<int>(text.size()) * 7, 13};
  }
  void drawText(const std::string& text, const Rect& r, unsigned format) override {
    record(Primitive::Text, r.left, r.top, r.right, r.bottom, brush, text, format);
  }
  void setClipRect(const Rect* rect) override {
    clipped = rect != nullptr;
    clip = rect ? *rect : Rect{};
    ++clipChanges;
  }
  void setPenWidth(int width) override { penWidth = width; }
  void setTextScale(double scale) override { textScale = scale; }
  Color setTextColor(Color color) override {
    const Color previous = textColor;
    textColor = color;
    return previous;
  }

  void record(Primitive::Kind kind, int a, int b, int c, int d, Color fill, const std::string& text = {},
              unsigned format = 0) {
    log.push_back({kind, a, b, c, d, pen, fill, textColor, text, format, clipped, clip, penWidth, penStyle, textScale});
  }

  std::vector<Primitive> of(Primitive::Kind kind) const {
    std::vector<Primitive> result;
    for (const Primitive& p : log) {
      if (p.kind == kind) result.push_back(p);
    }
    return result;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const Primitive& p : of(Primitive::Text)) result.push_back(p.text);
    return result;
  }

  Color pen = 0x00000000;
  Color brush = 0x00FFFFFF;
  Color textColor = 0x00000000;
  bool clipped = false;
  Rect clip;
  int clipChanges = 0;
  int penWidth = 1;
  PenStyle penStyle = PenStyle::solid;
  double textScale = 1.0;
  int selections = 0;
  std::vector<Primitive> log;
};
