#pragma once
#include "platform/canvas.h"

// One colour of the picture and what it stands for, for the legend beside the status line.
struct LegendEntry {
  const char* name;
  Color color;
  bool dot;       // false: a line
  Color outline;  // of a dot
};
