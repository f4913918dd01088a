#pragma once
// Starting points for LogConcaveSampler on any support, with no assumption
// about the location or scale of the density: steps grow geometrically
// towards an unbounded end and halve towards a finite one, then a
// golden-section refinement closes in on the mode. Every evaluated point with a
// finite value is kept (more points only tighten the first envelope), and
// each one is checked against log-concavity as it arrives.
#include <cstddef>
#include <functional>
#include <vector>

#include "sampler/ars.h"

class StartingPointSearch {
 public:
  using LogDensity = std::function<double(double)>;

  // Throws std::invalid_argument for a bad support or starting abscissa,
  // ARSSampler::XNotLogConcave when the points prove the density not
  // log-concave or not integrable towards an unbounded end.
  StartingPointSearch(const LogDensity& logDensity, double lower, double upper,
                      const std::vector<double>& starts);

  const std::vector<HullPoint>& points() const { return points_; }
  // The envelope's domain: finite ends where the density is known to vanish
  // (logDensity -infinity) move in; unbounded ends are cut where the hull's
  // tail beyond holds less than tailMass of the mass under the squeeze.
  double lowerLimit() const { return lowerLimit_; }
  double upperLimit() const { return upperLimit_; }
  std::size_t evaluations() const { return evaluations_; }

  // Relative mass left out beyond a cut unbounded end (at most).
  static constexpr double tailMass = 1e-20;
  // The outermost points lie this far below the highest log value (unless a
  // finite end comes first), and the neighbours of the highest point within
  // refineDrop of it.
  static constexpr double outerDrop = 20.0;
  static constexpr double refineDrop = 1.0;
  // Enough doublings to run from 1 past the largest double.
  static constexpr int maxSteps = 1100;

 private:
  double evaluate(double x);
  void add(double x, double h);
  void findFirstPoint(const std::vector<double>& starts);
  void exploreSide(int direction);
  void refineAroundMode();
  void completeToThree();
  void cutUnboundedEnds();
  std::size_t highest() const;
  double squeezeMass() const;

  const LogDensity& logDensity_;
  double lower_;  // the support; ends move in where the density vanishes
  double upper_;
  std::vector<HullPoint> points_;
  double lowerLimit_ = 0.0;
  double upperLimit_ = 0.0;
  std::size_t evaluations_ = 0;
};
