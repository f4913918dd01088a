#include "display/proof_drawing.h"

#include "display/envelope_pen.h"
#include "display/plot_colors.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

namespace {

// The envelope's scale, in whole pixels as its points are drawn.
using Pixel = envelope_pen::Point;
using ProofScale = envelope_pen::Scale;

// The chord is straight in log space: a line on the log scale, an
// exponential (drawn in short pieces) on the normal scale.
void drawChord(Canvas& canvas, const ProofScale& scale, const ProofHighlight& p) {
  const double slope = (p.rightH - p.leftH) / (p.rightX - p.leftX);
  const Pixel start = scale.whole(p.leftX, p.leftH);
  canvas.moveTo(start.x, start.y);
  const int pieces = scale.logScale() ? 1 : 64;
  for (int i = 1; i <= pieces; ++i) {
    const double x = i == pieces ? p.rightX : p.leftX + (p.rightX - p.leftX) * i / pieces;
    const Pixel next = scale.whole(x, i == pieces ? p.rightH : p.leftH + (x - p.leftX) * slope);
    canvas.lineTo(next.x, next.y);
  }
  // The gap that proves it: from the point up to the chord above it.
  const Pixel below = scale.whole(p.belowX, p.belowH);
  const Pixel onChord = scale.whole(p.belowX, p.leftH + (p.belowX - p.leftX) * slope);
  canvas.moveTo(below.x, below.y);
  canvas.lineTo(onChord.x, onChord.y);
}

// A magenta band of `width` pixels around a hole of the background's colour.
void ring(Canvas& canvas, Pixel p, int radius, int width) {
  {
    BrushSelection brush(canvas, PlotColor::proof);
    canvas.ellipse(p.x - radius, p.y - radius, p.x + radius, p.y + radius);
  }
  PenSelection pen(canvas, PlotColor::white);
  BrushSelection brush(canvas, PlotColor::white);
  const int hole = radius - width;
  canvas.ellipse(p.x - hole, p.y - hole, p.x + hole, p.y + hole);
}

bool heldBySampler(const std::vector<HullPoint>& points, double x) {
  for (const HullPoint& p : points)
    if (p.x == x) return true;
  return false;
}

bool shown(const ProofHighlight& proof) { return proof.leftX < proof.belowX && proof.belowX < proof.rightX; }

}  // namespace

void drawProofRings(Canvas& canvas, const PlotMapping& mapping, const ProofHighlight& proof,
                    const std::vector<HullPoint>& samplerPoints, bool logScale, double logOffset, double scale) {
  if (!shown(proof)) return;
  const ProofScale at(mapping, logScale, logOffset);
  const int width = scaledPixels(1, scale);
  canvas.setPenWidth(width);
  PenSelection pen(canvas, PlotColor::proof);
  const int band = scaledPixels(2, scale);
  ring(canvas, at.whole(proof.leftX, proof.leftH), scaledPixels(5, scale), band);
  ring(canvas, at.whole(proof.rightX, proof.rightH), scaledPixels(5, scale), band);
  const Pixel below = at.whole(proof.belowX, proof.belowH);
  ring(canvas, below, scaledPixels(7, scale), band);
  if (!heldBySampler(samplerPoints, proof.belowX)) {
    PenSelection dotPen(canvas, PlotColor::points);
    BrushSelection dot(canvas, PlotColor::points);
    const int r = scaledPixels(2, scale);
    canvas.ellipse(below.x - r, below.y - r, below.x + r, below.y + r);
  }
}

void drawProofHighlight(Canvas& canvas, const PlotMapping& mapping, const ProofHighlight& proof,
                        bool logScale, double logOffset, double scale) {
  if (!shown(proof)) return;
  const ProofScale at(mapping, logScale, logOffset);
  const int width = scaledPixels(1, scale);
  canvas.setPenWidth(2 * width);
  {
    PenSelection pen(canvas, PlotColor::proof);
    drawChord(canvas, at, proof);
  }
  canvas.setPenWidth(width);
}

std::vector<std::pair<int, int>> proofPixels(const PlotMapping& mapping, const ProofHighlight& proof, bool logScale,
                                             double logOffset) {
  const ProofScale at(mapping, logScale, logOffset);
  std::vector<std::pair<int, int>> pixels;
  for (const Pixel p : {at.whole(proof.leftX, proof.leftH), at.whole(proof.belowX, proof.belowH),
                        at.whole(proof.rightX, proof.rightH)}) {
    pixels.emplace_back(p.x, p.y);
  }
  return pixels;
}
