#pragma once
// Titles of the axes, where the margins have room for them beyond the tick
// labels and the caption: "x" under the x labels, and over the y axis what
// its heights are.
#include "platform/canvas.h"

// `captionTop` is where the caption band starts; nothing is drawn at scale 1,
// the picture the window opens with.
void drawAxisTitles(Canvas& canvas, const Rect& frame, int captionTop, bool logScale, double scale);
