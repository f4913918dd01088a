#pragma once
// Plain rejection and the adaptive sampler side by side: two panels of the
// same curve, each with its darts and its count of evaluations.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/canvas.h"

struct PlotLayout;
struct WindowModel;

// 9012 as "9,012", as the status line writes it.
std::string groupedDigits(std::size_t n);

// One entry of a panel's key: a dot of this colour, and its name.
struct KeyEntry {
  const char* name;
  Color color;
};

// Above the frame: the panel's title centred over it (the short one where
// the long one does not fit the panel), and under it, at the frame's right,
// a key to its dots.
void drawPanelHeading(Canvas& canvas, const Rect& frame, int panelWidth, const std::string& title,
                      const std::string& shortTitle, const std::vector<KeyEntry>& key, double scale);

// Draws both panels over the layout's client area, above the caption band at `captionTop`.
void paintComparison(Canvas& canvas, const PlotLayout& layout, const WindowModel& model, double scale,
                     int captionTop);
