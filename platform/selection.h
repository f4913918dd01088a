#pragma once
#include "platform/canvas.h"

// Selects a pen for one drawing and restores the previous one afterwards.
class PenSelection {
 public:
  PenSelection(Canvas& canvas, Color color) : canvas_(canvas), previous_(canvas.selectPen(color)) {}
  ~PenSelection() { canvas_.selectPen(previous_); }
  PenSelection(const PenSelection&) = delete;
  PenSelection& operator=(const PenSelection&) = delete;

 private:
  Canvas& canvas_;
  Color previous_;
};

// Selects a pen style for one drawing and restores the previous one afterwards.
class PenStyleSelection {
 public:
  PenStyleSelection(Canvas& canvas, PenStyle style) : canvas_(canvas), previous_(canvas.selectPenStyle(style)) {}
  ~PenStyleSelection() { canvas_.selectPenStyle(previous_); }
  PenStyleSelection(const PenStyleSelection&) = delete;
  PenStyleSelection& operator=(const PenStyleSelection&) = delete;

 private:
  Canvas& canvas_;
  PenStyle previous_;
};

// Selects a brush for one drawing and restores the previous one afterwards.
class BrushSelection {
 public:
  BrushSelection(Canvas& canvas, Color color)
      : canvas_(canvas), previous_(canvas.selectBrush(color)) {}
  ~BrushSelection() { canvas_.selectBrush(previous_); }
  BrushSelection(const BrushSelection&) = delete;
  BrushSelection& operator=(const BrushSelection&) = delete;

 private:
  Canvas& canvas_;
  Color previous_;
};

// Clips drawing to a box for one part of the picture, then draws everywhere again.
class ClipSelection {
 public:
  ClipSelection(Canvas& canvas, const Rect& rect) : canvas_(canvas) { canvas_.setClipRect(&rect); }
  ~ClipSelection() { canvas_.setClipRect(nullptr); }
  ClipSelection(const ClipSelection&) = delete;
  ClipSelection& operator=(const ClipSelection&) = delete;

 private:
  Canvas& canvas_;
};
