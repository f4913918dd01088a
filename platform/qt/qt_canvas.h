#pragma once
// Canvas over a QPainter, with GDI's pixel rules: aliased one-pixel lines that
// leave out their end pixel, boxes with exclusive right and bottom edges.
#include <QPoint>

#include "platform/canvas.h"

class QPainter;

class QtCanvas : public Canvas {
 public:
  // Sets up the painter: no antialiasing, black pen, white brush.
  explicit QtCanvas(QPainter& painter);

  Color selectPen(Color color) override;
  Color selectBrush(Color color) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void ellipse(int left, int top, int right, int bottom) override;
  void frameRect(const Rect& rect, Color brush) override;
  Size textExtent(const std::string& text) override;
  void drawText(const std::string& text, const Rect& rect, unsigned format) override;
  Color setTextColor(Color color) override;

 private:
  QPainter& painter_;
  Color pen_ = rgb(0, 0, 0);
  Color brush_ = rgb(255, 255, 255);
  Color textColor_ = rgb(0, 0, 0);
  QPoint position_;
};
