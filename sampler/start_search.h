#pragma once
// Starting points for ars::LogConcaveSampler on any support, with no
// assumption about location or scale, in as few evaluations as common
// densities allow. From the start, one probe a unit away; where it falls,
// one on the other side placed by the fall (a far larger fall says the
// scale is smaller). Steps then double towards the mode until it is
// bracketed; a parabola's guess replaces a step only where the curvature
// bears it out, since towards a doubly exponential tail a jump would land
// astronomically low. Gaps far below the highest point are split, and the
// hull is built once the points look adequate, then refined only while the
// squeeze holds too little of it. Every comparison is between differences
// of h, so nothing depends on its size.
#include <cstddef>
#include <functional>
#include <vector>

#include "sampler/hull_envelope.h"
#include "sampler/three_point_hull.h"

namespace ars::detail {

// The starting abscissae as the caller holds them (a vector, or the braces
// of a call such as warmReset(h, lower, upper, {x})): read, never copied, so
// that a Gibbs update allocates nothing for its start.
struct StartList {
  const double* first = nullptr;
  std::size_t count = 0;
  StartList() = default;
  StartList(const double* p, std::size_t n) : first(p), count(n) {}
  StartList(const std::vector<double>& v) : first(v.data()), count(v.size()) {}  // NOLINT: a view of it
  const double* begin() const { return first; }
  const double* end() const { return first + count; }
  bool empty() const { return count == 0; }
};

// Values of h a caller has evaluated (and counted) already: the search
// takes them instead of evaluating there again.
struct KnownValues {
  const HullPoint* first = nullptr;
  std::size_t count = 0;
};

class StartSearch {
 public:
  using LogDensity = std::function<double(double)>;

  // Fills points (ascending, finite h) and builds envelope from them.
  // Throws std::invalid_argument for a bad support, starting abscissa or
  // value of h, ars::NotLogConcave with the proof.
  // unitHint (> 0): the distance of the first probes from the start, in
  // place of the guess from the support and the start (the warm path of a
  // Gibbs sampler passes what the previous envelope learned).
  // guides (ascending): abscissae probed first, in place of the starts, where
  // the previous envelope says the new density lies; a guide outside the
  // support is left out, one where h is -infinity moves a limit as any probe
  // does, and the starts serve as usual when no guide has a finite h. The
  // starts must still lie in the support, but are not evaluated then.
  // known: values of h evaluated already (a guided start that fell short).
  // three (optional): where the search ends on three points that bracket
  // the mode with falling tails, their hull goes there and the envelope is
  // placed but not built: a one-draw sampler draws from them directly.
  // three->built says whether it did.
  StartSearch(const LogDensity& logDensity, double lower, double upper,
              StartList starts, std::vector<HullPoint>& points,
              HullEnvelope& envelope, double unitHint = 0.0,
              const std::vector<double>& guides = {}, KnownValues known = {},
              ThreePointHull* three = nullptr);

  std::size_t evaluations() const { return evaluations_; }

  // The envelope is good enough to start drawing once this part of the hat's
  // area lies under the squeeze.
  static constexpr double startRatio = 0.05;
  // Points placed by the parabola this many guessed scale units from the mode.
  static constexpr double spread = 1.2;
  // The second point goes this many guessed units beyond the mode: the
  // guess from two values is rough, and a point too near the mode leaves a
  // flat tail that costs a further point.
  static constexpr double otherSpread = 1.5;
  // A neighbour of the highest point further below it than this is split
  // off before the hull is built.
  static constexpr double maxDrop = 30.0;
  // An outer neighbour towards an unbounded end less than this below the
  // highest point gets a point beyond it before the hull is built.
  static constexpr double minDrop = 0.2;
  // The same after guides: the mode is then placed, not guessed, and a
  // point beyond a guide that fell short costs more than its flat tail.
  static constexpr double guidedMinDrop = 0.05;
  // A slope's shortfall growing by more than this between two chords marks
  // a side turning exponentially fast (see turnJump).
  static constexpr double turnGrowth = 4.0;

 private:
  double evaluate(double x);
  bool probe(double x);
  bool accept(double x, double h);
  void zeroAt(double x);
  void lookBeyondCut(bool up);
  void findFirstPoint(StartList starts, double unitHint);
  bool probeGuides(const std::vector<double>& guides, StartList starts);
  void applyZeros();
  void probeAround(double x0);
  void predictMode();
  void bracket();
  void refine();
  std::size_t highest() const;
  bool isPoint(double x) const;
  struct Parabola {
    bool reliable;
    double mode;
    double scale;
  };
  Parabola fit(std::size_t b) const;
  Parabola fitAt(std::size_t i) const;
  double rateJump(bool up, double& scale) const;
  bool fallsDoublyExponentially(bool up, bool quadratic) const;
  double turnJump(bool up, double& scale) const;
  double endJump(bool up, double& scale) const;
  double farNeighbourSplit() const;
  double inside(double x0, double x) const;

  const LogDensity& logDensity_;
  double declaredLower_;
  double declaredUpper_;
  double lower_;
  double upper_;
  std::vector<HullPoint>& points_;
  HullEnvelope& envelope_;
  std::vector<double> zeros_;  // zeros met before the first positive value
  bool lookedLow_ = false;
  bool lookedHigh_ = false;
  bool lookedAtLowEnd_ = false;
  bool lookedAtHighEnd_ = false;
  bool guided_ = false;  // the guides gave the first points
  double unit_ = 1.0;
  // The last split of a far gap rose above the highest point: the parabola
  // misjudged the mode, and the next split bisects.
  bool splitRose_ = false;
  std::size_t evaluations_ = 0;
  KnownValues known_;
  ThreePointHull* three_ = nullptr;
};

// After two guides a and b (ascending): where the chord between them and
// the learned scale place the mode, or, where that lies beyond either
// guide, a spread beyond it, so that the three bracket it; moved inside
// (lower, upper) as any probe is. NaN where it is not finite. The search
// and the warm path's guided start place their third point by this alone,
// so that a start that falls short hands the search its own probes.
double thirdGuide(const HullPoint& a, const HullPoint& b, double scale, double lower, double upper);

// What the next search learns from an envelope's points. The mode and
// scale of the parabola through the highest point and its neighbours,
// reliable only where h curves down there; and a unit for the first probes:
// a spread of that scale, or half the distance between those neighbours (0
// without three points).
struct LearnedShape {
  bool reliable = false;
  double mode = 0.0;
  double scale = 0.0;
  double unit = 0.0;
};
LearnedShape learnedShape(const std::vector<HullPoint>& points);

}  // namespace ars::detail
