#pragma once
// Canvas over a QPainter, with GDI's pixel rules: one-pixel lines that keep
// their start pixel and leave out their end pixel, boxes with exclusive right
// and bottom edges. On a device with a pixel ratio r every logical pixel
// becomes an r x r block, so a 2x display shows the 1x picture, larger.
// The vector form (for SVG) draws the same shapes as lines and curves
// through pixel centres instead.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/canvas.h"

class QPainter;

class QtCanvas : public Canvas {
 public:
  enum class Form { Pixels, Vector };

  // Sets up the painter: no antialiasing, black pen, white brush.
  explicit QtCanvas(QPainter& painter, Form form = Form::Pixels);

  Color selectPen(Color color) override;
  Color selectBrush(Color color) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void ellipse(int left, int top, int right, int bottom) override;
  void frameRect(const Rect& rect, Color brush) override;
  Size textExtent(const std::string& text) override;
  void drawText(const std::string& text, const Rect& rect, unsigned format) override;
  Color setTextColor(Color color) override;
  void setClipRect(const Rect* rect) override;

 private:
  void vectorLine(QPoint from, QPoint to);
  const QImage& ellipseStamp(int width, int height);

  QPainter& painter_;
  Form form_;
  qreal pixelRatio_;
  QRect deviceBounds_;  // logical pixels that can show, or more
  std::optional<QRect> clip_;
  Color pen_ = rgb(0, 0, 0);
  Color brush_ = rgb(255, 255, 255);
  Color textColor_ = rgb(0, 0, 0);
  QPoint position_;
  std::vector<QRect> runs_;
  std::map<std::tuple<int, int, Color, Color>, QImage> stamps_;
};
