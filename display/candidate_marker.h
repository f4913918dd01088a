#pragma once
// A candidate outside the plot frame is never clipped away unseen: it is
// marked at the frame's edge, at its abscissa (or height), with an arrow
// pointing the way it lies.
#include "display/plot_mapping.h"
#include "platform/canvas.h"

enum class FrameSide { Inside, Above, Below, Left, Right };

// Where the pixel (px, py) lies against the frame (right and bottom exclusive);
// above or below wins over left or right.
FrameSide sideOfFrame(const Rect& frame, int px, int py);

void drawCandidateMarker(Canvas& canvas, const Rect& frame, int px, int py, double scale);
