#pragma once
// Draws a ProofHighlight over the envelope: the chord between the two outer
// points, the gap from the point below it up to the chord, and the three
// points ringed, all in the proof's colour.
#include "display/plot_mapping.h"
#include "display/proof_highlight.h"
#include "platform/canvas.h"

void drawProofHighlight(Canvas& canvas, const PlotMapping& mapping, const ProofHighlight& proof,
                        bool logScale, double logOffset, double scale);
