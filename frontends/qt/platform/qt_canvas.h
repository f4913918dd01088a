#pragma once
// Canvas over a QPainter, with GDI's pixel rules: one-pixel lines that keep
// their start pixel and leave out their end pixel, boxes with exclusive right
// and bottom edges. Wider pens (a picture scaled up) and devices with a pixel
// ratio above 1 get smooth lines and dots at the device's own resolution
// instead. The vector form (for SVG) draws the same shapes as paths through
// pixel centres: each run of connected lines in one pen is one path. Dashed
// pens draw smooth paths at any width.
#include <QFont>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <optional>
#include <vector>

#include "platform/canvas.h"

class QPainter;

class QtCanvas : public Canvas {
 public:
  enum class Form { Pixels, Vector };

  // Sets up the painter: no antialiasing, black pen, white brush.
  explicit QtCanvas(QPainter& painter, Form form = Form::Pixels);
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

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
  bool keepsFractions() const override { return form_ == Form::Vector; }
  void moveToF(double x, double y) override;
  void lineToF(double x, double y) override;

 private:
  // Lines go into a path (vector form, smooth pixels or dashes) until
  // something else is drawn: a dash pattern runs on along the path.
  bool pathsLines() const { return form_ == Form::Vector || smooth() || penStyle_ == PenStyle::dashed; }
  bool smooth() const { return penWidth_ != 1 || pixelRatio_ != 1.0; }
  void pathLine(QPointF from, QPointF to);
  void flush();
  QPen linePen() const;

  QPainter& painter_;
  Form form_;
  qreal pixelRatio_;
  QRect deviceBounds_;  // logical pixels that can show, or more
  std::optional<QRect> clip_;
  Color pen_ = rgb(0, 0, 0);
  Color brush_ = rgb(255, 255, 255);
  Color textColor_ = rgb(0, 0, 0);
  QPoint position_;
  QPointF positionF_;  // the same through the pixel centre, or unrounded
  std::vector<QRect> runs_;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::solid;
  double textScale_ = 1.0;
  QFont baseFont_;
  QPainterPath path_;
  QPointF pathEnd_;
};
