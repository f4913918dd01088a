#pragma once
// ars::TConcaveSampler: exact, derivative-free rejection sampling for
// densities that are concave after a transformation T: T_0 = log
// (log-concave) or T_{-1/2}(f) = -1/sqrt(f), which admits heavy tails such as
// the Cauchy and every Student t with nu >= 1.
//
// Split points (optional, increasing, inside the support) cut the support
// into pieces on each of which T(f) is concave or convex, as at the
// inflection points of a mixture. A concave piece has the hull of secants of
// T(f) as hat and their chords as squeeze; a convex piece the chords as hat
// and its neighbours' extended secants as squeeze. Each piece is classified
// from its evaluated points; every candidate that needs an evaluation
// refines both. Not thread-safe: one sampler per thread (copies are
// independent).
//
// Throws std::invalid_argument naming a bad argument, and ars::NotLogConcave
// (naming the transformation and the points that prove it) for a piece that
// is neither concave nor convex, a convex piece reaching an infinite end, or
// a density whose hat cannot be made finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sampler/not_log_concave.h"
#include "sampler/transformed_line.h"
#include "sampler/uniform_source.h"

namespace ars {

class TConcaveSampler {
 public:
  using LogDensity = std::function<double(double)>;
  using result_type = double;

  // starts: points inside (lower, upper) to begin with (e.g. the previous
  // state of a Gibbs chain); more are added until the hat is finite.
  TConcaveSampler(LogDensity logDensity, double lower, double upper,
                  Transform transform = Transform::InverseSqrt,
                  const std::vector<double>& splits = {},
                  const std::vector<double>& starts = {}, std::uint64_t seed = 5489u);

  double sample() { return sample(engine_); }
  template <class URBG>
  double sample(URBG& g) {
    detail::UniformSource source(g);
    return sampleFrom(source);
  }
  template <class URBG>
  double operator()(URBG& g) { return sample(g); }

  // A new density under the same transformation; the counts start from zero.
  void reset(LogDensity logDensity, double lower, double upper,
             const std::vector<double>& splits = {}, const std::vector<double>& starts = {});
  void seed(std::uint64_t s) { engine_.seed(s); }

  Transform transform() const { return transform_; }
  std::size_t points() const { return x_.size(); }
  std::size_t evaluations() const { return evaluations_; }
  const std::vector<double>& evaluatedPoints() const { return x_; }
  const std::vector<double>& evaluatedLogDensities() const { return h_; }
  const std::vector<double>& splits() const { return splits_; }
  double lowerLimit() const { return lower_; }
  double upperLimit() const { return upper_; }
  // Integrals of hat and squeeze, relative to exp(the largest h seen so far).
  double hatArea() const { return hatArea_; }
  double squeezeArea() const { return squeezeArea_; }
  // The same in the units of h, as logarithms (which never overflow).
  double logHatArea() const { return hmax_ + std::log(hatArea_); }
  double logSqueezeArea() const { return hmax_ + std::log(squeezeArea_); }

 private:
  enum class Shape { Concave, Convex };
  struct Piece {
    double l, r;
    detail::Line hat, squeeze;
    bool hasSqueeze;
    double area;
  };
  double sampleFrom(detail::UniformSource& source);
  double evaluate(double x);
  bool insert(double x, double h);
  void build();
  bool tryBuild();
  bool addNear(double x, double fallbackL, double fallbackR, const char* why);
  Shape classify(std::size_t a, std::size_t b, std::size_t segment) const;
  int secondDifferenceSign(std::size_t i) const;
  std::string triple(std::size_t i) const;
  detail::Line secant(std::size_t i, std::size_t j, std::size_t anchor, double pad) const;
  bool buildConcave(std::size_t a, std::size_t b, double lo, double hi);
  void buildConvex(std::size_t a, std::size_t b);
  bool finishTable();

  LogDensity logDensity_;
  double lower_ = 0, upper_ = 0;
  Transform transform_;
  std::vector<double> splits_, bounds_;  // bounds_: lower, splits, upper
  std::vector<double> x_, h_, t_, err_;  // t_: T(f / max seen); err_: its rounding
  double hmax_ = 0;
  std::vector<Piece> pieces_;
  std::vector<double> cumulative_;
  std::vector<std::uint32_t> guide_;
  double hatArea_ = 0, squeezeArea_ = 0;
  std::size_t evaluations_ = 0;
  std::string lastWhy_;
  std::mt19937_64 engine_;
};

}  // namespace ars
