#pragma once
// On the normal scale a proof lies flat on the axis, and on the log scale its
// gap may be a fraction of a pixel: a small panel in an upper corner of the
// plot zooms in on the log scale around the point below the chord, showing
// the chord, the gap up to it and the point in the proof's colour.
#include <utility>
#include <vector>

#include "model/proof_highlight.h"
#include "platform/canvas.h"

// The panel's rectangle in an upper corner of the frame: the one that covers
// fewer of the pixels to keep in view (the proof's points, the candidate),
// the one away from the first of them when both cover as many.
Rect proofInsetRect(const Rect& frame, const std::vector<std::pair<int, int>>& keepInView, double scale);
// `labelled`: "zoomed in" in the panel's corner, where it fits.
void drawProofInset(Canvas& canvas, const Rect& inset, const ProofHighlight& proof, double scale,
                    bool labelled = false);
