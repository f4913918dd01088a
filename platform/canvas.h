#pragma once
// The drawing surface: a device context with GDI's habits. Colours are
// 0x00BBGGRR values; pens are one pixel wide and solid unless a dashed style
// is selected; boxes are given as
// (left, top, right, bottom) with right and bottom exclusive; y grows downwards.
#include <cstdint>
#include <string>

using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

// How lines are stroked. A dashed line keeps its pattern along a polyline
// drawn in one pen (each lineTo continuing where the last one ended), so
// that a curve traced in one-pixel pieces is dashed too.
enum class PenStyle { solid, dashed };

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct Size {
  int cx = 0;
  int cy = 0;
};

// Text layout flags for Canvas::drawText (GDI's values).
constexpr unsigned DT_CENTER = 0x01;
constexpr unsigned DT_VCENTER = 0x04;
constexpr unsigned DT_SINGLELINE = 0x20;

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Select a solid pen or brush of this colour; returns the one it replaces.
  // The initial pen is black, the initial brush white.
  virtual Color selectPen(Color color) = 0;
  virtual Color selectBrush(Color color) = 0;
  // Lines drawn from now on are in this style; returns the one it replaces.
  // The initial style is solid.
  virtual PenStyle selectPenStyle(PenStyle style) = 0;

  virtual void moveTo(int x, int y) = 0;
  virtual void lineTo(int x, int y) = 0;  // excludes the end pixel, like GDI
  // Filled with the brush, outlined with the pen.
  virtual void ellipse(int left, int top, int right, int bottom) = 0;
  // A one-pixel outline in the brush colour.
  virtual void frameRect(const Rect& rect, Color brush) = 0;

  virtual Size textExtent(const std::string& text) = 0;
  virtual void drawText(const std::string& text, const Rect& rect, unsigned format) = 0;
  virtual Color setTextColor(Color color) = 0;  // returns the previous text colour

  // Limits further drawing to the box (right and bottom exclusive), as a
  // selected clip region does; nullptr draws everywhere again.
  virtual void setClipRect(const Rect* rect) = 0;

  // For a picture that grows with its window: pens selected from
  // now on are `width` pixels wide; text is `scale` times the default size.
  // Width 1 and scale 1 draw the picture at the size the window opens with.
  virtual void setPenWidth(int /*width*/) {}
  virtual void setTextScale(double /*scale*/) {}
  // A vector surface (SVG) takes lines in unrounded pixel coordinates, so
  // that an enlarged drawing keeps its curves smooth; the others truncate.
  virtual bool keepsFractions() const { return false; }
  virtual void moveToF(double x, double y) { moveTo(static_cast<int>(x), static_cast<int>(y)); }
  virtual void lineToF(double x, double y) { lineTo(static_cast<int>(x), static_cast<int>(y)); }
};
