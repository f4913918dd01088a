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
//
// Call order. The owner writes the fields directly, in this order:
//   1. clear() and reset() (reset detaches the density: set it afterwards);
//   2. density, prnd, lowerBounded/upperBounded, and lowerLimit/upperLimit if
//      the support is not (0, 1), then keepPoints;
//   3. sample() per draw, or initPoints(), buildEnvelope() and step() per step.
// reset() keeps scaleOffset, which sets the level of the outward search over an
// unbounded end (the window program depends on that); restart() forgets it too.
//
// Failures. XNotLogConcave: the density is provably not log-concave (the chord
// slopes of evaluated points rise, or a search runs away), or not integrable
// towards an unbounded end. std::invalid_argument: a bad setting (limits not
// ordered or not finite, logDensity not finite at a starting point or NaN
// where the envelope needs it, an envelope with no positive finite area).
//
// The constructed settings suit the program's densities on (0, 1) and
// (0, inf): the slope spreading (minSlopeGap 0.1) and the outward search's
// absolute level ln(1e-6) depend on the density's scale, and a mode at a
// finite end is reported as not log-concave. For a library with sound
// defaults on any support, scale and location, see LogConcaveSampler.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <string>

#include "sampler/hull_geometry.h"
#include "sampler/not_log_concave.h"
#include "sampler/sampler_counts.h"

class ARSDensity;
class UniformRandom;

using HullPoint = ars::detail::HullPoint;

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

using ars::detail::shiftedExp;

namespace ars::window {

// The sampler's report, which LogConcaveSampler throws as well: thrown by
// value; the window program catches it as ARSSampler::XNotLogConcave, a
// library user as ars::NotLogConcave or std::exception, with a reason. It
// lives in namespace ars because the engine library carries its type
// information.
class XNotLogConcave : public NotLogConcave {
 public:
  XNotLogConcave() : NotLogConcave("the density is not log-concave") {}
  explicit XNotLogConcave(const std::string& reason) : NotLogConcave(reason) {}
};

}  // namespace ars::window

class ARSSampler {
 public:
  using XNotLogConcave = ars::window::XNotLogConcave;

  ARSSampler();
  ~ARSSampler();
  ARSSampler(const ARSSampler&) = delete;
  ARSSampler& operator=(const ARSSampler&) = delete;

  void reset();
  void clear();
  // clear(), reset() and scaleOffset = 0: a fresh start for a new density.
  void restart();
  void initPoints();
  void buildEnvelope();
  bool step();
  double sample();
  // The same draws from another uniform source: anything with a member
  // double next() returning values strictly between 0 and 1. Instantiated for
  // UniformRandom and Mt64Uniform; step() and sample() use prnd.
  template <class Source>
  bool stepWith(Source& source);
  template <class Source>
  double sampleWith(Source& source);

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
  // Returns false, inserting nothing, when x repeats an existing abscissa or
  // the point set is at maxPoints.
  bool insertPoint(double x, double h);
  // The same, returning the new point's index, or noIndex when nothing was inserted.
  std::size_t insertPointAt(double x, double h);
  // Equivalent to buildEnvelope after the point at index joined the set the
  // envelope was last built from, at the cost of the few pieces around it
  // (plus a running sum over the segments to its right). Falls back to
  // buildEnvelope when the envelope was not built from the other points.
  void rebuildAfterInsert(std::size_t index);
  static constexpr std::size_t noIndex = ~std::size_t{0};
  // True when the points, with (x, h) added if given, have a chord slope that
  // rises beyond rounding: proof that the density is not log-concave.
  bool violatesLogConcavity() const;
  bool violatesLogConcavity(double x, double h) const;
  // b (with a.x < b.x < c.x) lies below the chord a-c by more than rounding.
  static bool belowChord(const HullPoint& a, const HullPoint& b, const HullPoint& c);

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
  // The window program keeps areaTolerance and minSlopeGap as constructed.
  // A minSlopeGap of 0 (or below) turns the slope spreading off: nearly
  // parallel secants then meet at the stable intersection of their interval.
  double areaTolerance = 0.01;
  double minSlopeGap = 0.1;
  // Invert hull pieces in a form that stays exact for nearly flat pieces and
  // keep candidates inside their piece (the program uses the plain formula).
  bool stableInversion = false;
  const double upperStart = 10.0;
  const double lowerStart = -10.0;
  const double tolerance = 1e-6;
  double scaleOffset = 0.0;
  // Zeroed by clear().
  ars::SamplerCounts counts;
  // Index of the segment the most recent candidate was drawn from.
  std::size_t lastSegment = 0;

  // An outward search over an unbounded end gives up (not log-concave) after
  // this many doublings of its step.
  static constexpr int maxSearchDoublings = 256;
  // A density value above the upper hull by more than this relative amount
  // is examined: reported when the points prove the density not log-concave,
  // otherwise taken as a rejection that refines the hull there.
  static constexpr double hullExcessTolerance = 1e-6;
  // Chord slopes "rise" only when a point lies below the chord of its
  // neighbours by more than this, relative (see hull_geometry.h).
  static constexpr double concavityTolerance = ars::detail::concavityTolerance;
  // Refinement stops here; sampling goes on, still exact, with the envelope
  // it has. Some 10^15 draws would be needed to reach it by refinement.
  std::size_t maxPoints = 100000;
  // One sample() call that has taken more than patientSteps steps looks for
  // proof that the density is not log-concave at each doubling of its steps,
  // and gives up (runtime_error) at the first doubling past maxSampleSteps:
  // a density narrower than the doubles around it (a spike at 1e44) never
  // accepts, and the window must not freeze on it.
  static constexpr std::uint64_t patientSteps = 1000;
  static constexpr std::uint64_t maxSampleSteps = 50000;

 private:
  struct Candidate {
    std::size_t segment;
    double x;
    double hull;      // scaled upper hull at x
    double uniform2;  // acceptance uniform
    double logHeight;  // ln(uniform2 * hull) when that is positive, else NaN
  };
  double evaluate(double x);  // logDensity, counted
  template <class Source>
  Candidate drawCandidate(Source& source, bool useCache);
  double stableCandidate(const EnvelopeSegment& segment, double areaIn, double start,
                         double hull) const;
  bool decide(const Candidate& candidate);
  bool densityTest(const Candidate& candidate);
  double dartLogHeight(const Candidate& candidate) const;
  template <class Source>
  bool drawSqueezed(Source& source, Candidate& candidate);
  void refine(double x, double h);
  bool zeroDensityAt(double x);
  void checkLimits() const;
  void checkStartingPoints(const HullPoint& p, const HullPoint& q, const HullPoint& r) const;
  void checkArea() const;
  void checkProgress(std::uint64_t steps) const;
  struct Crossing {
    double x;
    double y;
  };
  Crossing stableIntersection(const HullPoint& q1, const HullPoint& q2, const HullPoint& q3,
                              const HullPoint& q4) const;
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
