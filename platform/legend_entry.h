#pragma once
#include "platform/canvas.h"

// How a legend entry is drawn: as a line (solid or dashed), or as a marker of the picture's.
enum class LegendSwatch { Line, Dot, Square, Cross, DashedLine };

// One colour of the picture and what it stands for, for the legend beside the status line.
struct LegendEntry {
  const char* name;
  Color color;
  LegendSwatch swatch;
  Color outline;  // of a dot or a square
};
