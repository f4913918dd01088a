#pragma once
// A candidate outside the plot frame is never clipped away unseen: it is
// marked at the frame's edge, at its abscissa (or height), with an arrow
// pointing the way it lies. With two beats per step a candidate is marked
// by its decision, in a shape and colour of its own (plot_colors.h).
#include "display/plot_mapping.h"
#include "platform/canvas.h"

enum class FrameSide { Inside, Above, Below, Left, Right };

// What became of a candidate.
enum class CandidateFate { Squeezed, Evaluated, Rejected };

// Where the pixel (px, py) lies against the frame (right and bottom exclusive);
// above or below wins over left or right.
FrameSide sideOfFrame(const Rect& frame, int px, int py);

// The classic candidate outside the frame; inside it is drawn with the points.
void drawCandidateMarker(Canvas& canvas, const Rect& frame, int px, int py, double scale);
// A decided candidate, inside the frame or at its edge; `radius` is the
// marker's half width in pixels.
void drawFateMarker(Canvas& canvas, const Rect& frame, int px, int py, CandidateFate fate, int radius,
                    double scale);
// The marker's shape alone, centred at (cx, cy): a filled circle (squeezed),
// a filled square (evaluated) or a bold cross (rejected). The legend draws it too.
void drawFateShape(Canvas& canvas, int cx, int cy, CandidateFate fate, int radius);
Color fateColor(CandidateFate fate);
