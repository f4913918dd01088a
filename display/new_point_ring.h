#pragma once
// A rejected candidate becomes a point of the envelope, and may land within a
// pixel of an old one (x = 0.051 beside 0.05): an open ring around it shows
// that a point was added even where no new dot can be seen.
#include "platform/canvas.h"

// The ring around the pixel (cx, cy), its radius in pixels, drawn as a
// polygon so that what lies inside stays visible.
void drawNewPointRing(Canvas& canvas, int cx, int cy, int radius, Color color);
