#pragma once
// What the pointer rests on, in words: a point, a hull piece (and why it
// rises or falls against the density), a vertical step of the hull, the
// squeeze, or the why panel; with the section of Help > How it works that
// explains it.
#include <string>

#include "platform/canvas.h"

struct PlotLayout;
struct WindowModel;

struct PointerTip {
  std::string text;    // empty over nothing the envelope explains
  std::string anchor;  // of a section of howItWorks(); empty with the text
};

// At client pixel (px, py) of the picture laid out as `layout` in `client`.
PointerTip pointerTip(const WindowModel& model, const PlotLayout& layout, const Rect& client, int px, int py);
