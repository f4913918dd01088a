#pragma once
// Derivative-free adaptive rejection sampling of a log-concave density.
//
// The sampler keeps a sorted set of points where the log-density h has been
// evaluated and builds from them an envelope of h: an upper hull of secants
// extended beyond their intervals and a lower squeeze of chords. Exponentials
// of the hull are integrated and inverted in closed form; every rejected
// candidate joins the point set and tightens the envelope.
//
// Start reading at initPoints (starting points and the log-concavity checks),
// then buildEnvelope and step. All arithmetic is ordered deliberately: results
// are reproducible to the last bit.
#include <cstdint>
#include <vector>

#include "sampler/sampler_counts.h"

class ARSDensity;
class Canvas;
class UniformRandom;
struct PlotMapping;

struct HullPoint {
  double x = 0.0;  // abscissa
  double h = 0.0;  // log-density there
};

// One piece of the envelope. The two outer tails carry no squeeze (all zero).
struct EnvelopeSegment {
  double upperLeftX = 0.0;
  double upperLeftY = 0.0;
  double upperRightX = 0.0;
  double upperRightY = 0.0;
  double squeezeLeftX = 0.0;
  double squeezeLeftY = 0.0;
  double squeezeRightX = 0.0;
  double squeezeRightY = 0.0;
  double upperSlope = 0.0;
  double squeezeSlope = 0.0;
  double area = 0.0;            // under the scaled upper piece
  double cumulativeArea = 0.0;  // of all segments to the left
};

// exp(a + b) when a + b > -50, otherwise exactly 0.0.
double shiftedExp(double a, double b);

class ARSSampler {
 public:
  class XNotLogConcave {};

  ARSSampler();
  ~ARSSampler();
  ARSSampler(const ARSSampler&) = delete;
  ARSSampler& operator=(const ARSSampler&) = delete;

  void reset();
  void clear();
  void initPoints();
  void buildEnvelope();
  bool step();
  double sample();

  double scaledExp(double y) const;
  double scaledLog(double v) const;
  static double chordSlope(const HullPoint& p, const HullPoint& q);
  void findStartingPoints(HullPoint& a, HullPoint& b, HullPoint& c);
  void extendUpperLimit();
  void extendLowerLimit();
  void reducePoints();
  double intersectX(const HullPoint& q1, const HullPoint& q2, const HullPoint& q3,
                    const HullPoint& q4) const;
  double intersectY(const HullPoint& q1, const HullPoint& q2, const HullPoint& q3,
                    const HullPoint& q4) const;
  double pieceArea(double x1, double y1, double x2, double y2) const;
  // The same, given scaledExp(y1) and scaledExp(y2).
  double pieceArea(double x1, double y1, double e1, double x2, double y2, double e2) const;
  void computeAreas();
  // Returns false, inserting nothing, when x repeats an existing abscissa.
  bool insertPoint(double x, double h);
  // The same, returning the new point's index, or noIndex when nothing was inserted.
  std::size_t insertPointAt(double x, double h);
  // Equivalent to buildEnvelope after the point at index joined the set the
  // envelope was last built from, at the cost of the few pieces around it
  // (plus a running sum over the segments to its right). Falls back to
  // buildEnvelope when the envelope was not built from the other points.
  void rebuildAfterInsert(std::size_t index);
  static constexpr std::size_t noIndex = ~std::size_t{0};

  // Drawing, defined with the display code.
  void drawAbscissae(Canvas& canvas, const PlotMapping& mapping, std::uint32_t color,
                     bool logScale, double logOffset) const;
  void drawUpperHull(Canvas& canvas, const PlotMapping& mapping, std::uint32_t color,
                     bool logScale, double logOffset) const;
  void drawSqueeze(Canvas& canvas, const PlotMapping& mapping, std::uint32_t color,
                   bool logScale, double logOffset) const;

  UniformRandom* prnd = nullptr;
  bool lowerBounded = true;
  bool upperBounded = true;
  double lowerLimit = 1e-6;
  double upperLimit = 0.999999;
  double totalArea = 0.0;
  bool hasLastDraw = false;
  bool keepPoints = false;
  double lastX = 0.0;
  double lastLogY = 0.0;
  ARSDensity* density = nullptr;
  std::vector<HullPoint> points;
  std::vector<EnvelopeSegment> segments;
  const double areaTolerance = 0.01;
  const double minSlopeGap = 0.1;
  const double upperStart = 10.0;
  const double lowerStart = -10.0;
  const double tolerance = 1e-6;
  double scaleOffset = 0.0;
  // Zeroed by clear().
  SamplerCounts counts;
  // Index of the segment the most recent candidate was drawn from.
  std::size_t lastSegment = 0;

  // An outward search over an unbounded end gives up (not log-concave) after
  // this many doublings of its step.
  static constexpr int maxSearchDoublings = 256;
  // A density value above the upper hull by more than this relative amount
  // means the density is not log-concave.
  static constexpr double hullExcessTolerance = 1e-6;

 private:
  struct Candidate {
    std::size_t segment;
    double x;
    double hull;      // scaled upper hull at x
    double uniform2;  // acceptance uniform
    double logHeight;  // ln(uniform2 * hull) when that is positive, else NaN
  };
  double evaluate(double x);  // logDensity, counted
  Candidate drawCandidate(bool useCache);
  bool decide(const Candidate& candidate);
  bool densityTest(const Candidate& candidate);
  double dartLogHeight(const Candidate& candidate) const;
  bool drawSqueezed(Candidate& candidate);
  std::size_t chooseSegment(double t) const;
  std::size_t chooseCachedSegment(double t) const;
  void checkSearch(const HullPoint& moved, int& doublings) const;
  bool envelopeIsCurrent() const;
  EnvelopeSegment leftTailSegment() const;
  double buildPiecesAt(std::size_t i, double carried, EnvelopeSegment* pieces) const;
  EnvelopeSegment rightTailSegment(double carried) const;
  void recordBuild();
  void computePieceAreas(std::size_t first, std::size_t last);
  void sumAreasFrom(std::size_t first);
  void buildGuide();
  bool builtWithoutPoint(std::size_t index) const;
  bool updateAfterInsert(std::size_t index);
  bool redoAreas();
#ifndef NDEBUG
  void checkAgainstFullBuild();
#endif

  // What the last envelope was built from, so that sample() can skip a
  // rebuild that would reproduce it exactly.
  std::uint64_t pointsVersion = 0;
  std::uint64_t builtVersion = ~std::uint64_t{0};
  double builtLowerLimit = 0.0;
  double builtUpperLimit = 0.0;
  const ARSDensity* builtDensity = nullptr;
  std::size_t builtSegmentCount = 0;
  double builtScaleOffset = 0.0;
  // The largest hull value of the last build and a segment that reaches it
  // (noIndex when some hull value was not a number).
  double builtHighest = 0.0;
  std::size_t highestSegment = noIndex;
  // Per segment, from the last build: cumulativeArea + area, and the scaled
  // hull at its left end. sample() draws from these; step() reads the
  // segments themselves.
  std::vector<double> segmentEnds;
  std::vector<double> leftHullValues;
  bool segmentEndsAscending = false;
  // The first segment whose end lies below its left neighbour's (the count
  // of segments when they ascend).
  std::size_t firstDescent = 0;
  // Guide table: for each of its equal slices of [0, totalArea), a segment
  // near the first one whose end lies in the slice.
  std::vector<std::size_t> guide;
  double guideScale = 0.0;
};
