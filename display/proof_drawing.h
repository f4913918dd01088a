#pragma once
// Draws a ProofHighlight with the envelope: magenta rings around the three
// points under the envelope's points, then the chord between the two outer
// points and the gap from the point below it up to the chord over everything.
#include <utility>
#include <vector>

#include "display/plot_mapping.h"
#include "model/proof_highlight.h"
#include "platform/canvas.h"
#include "sampler/ars.h"

// Before the envelope: the rings, hollow so that the point inside and the
// lines through it stay visible. A proof point the sampler does not hold (the
// candidate that broke the rule) gets its dot here.
void drawProofRings(Canvas& canvas, const PlotMapping& mapping, const ProofHighlight& proof,
                    const std::vector<HullPoint>& samplerPoints, bool logScale, double logOffset, double scale);
// After the envelope: the chord and the gap.
void drawProofHighlight(Canvas& canvas, const PlotMapping& mapping, const ProofHighlight& proof,
                        bool logScale, double logOffset, double scale);
// Where the three points are drawn, left, below and right, as {x, y} pixels.
std::vector<std::pair<int, int>> proofPixels(const PlotMapping& mapping, const ProofHighlight& proof, bool logScale,
                                             double logOffset);
