#pragma once
// Exact, derivative-free rejection sampling for densities that are concave
// after a transformation T: T_0 = log (log-concave) or T_{-1/2}(f) = -1/sqrt(f),
// which admits heavy tails such as the Cauchy and every Student t with nu >= 1.
// The hat is the hull of secants of T(f) through the evaluated points, the
// squeeze their chords; every candidate that needs an evaluation refines both.
// Not thread-safe: one sampler per thread (copies are independent).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "sampler/not_log_concave.h"
#include "sampler/uniform_source.h"

namespace ars {

enum class Transform { Log, InverseSqrt };

class TConcaveSampler {
 public:
  using LogDensity = std::function<double(double)>;
  using result_type = double;

  // starts: at least one point inside (lower, upper); more are added until
  // the hat is finite. Throws std::invalid_argument naming a bad argument and
  // NotLogConcave (naming the transformation) when T(f) is provably not concave.
  TConcaveSampler(LogDensity logDensity, double lower, double upper,
                  Transform transform = Transform::InverseSqrt,
                  const std::vector<double>& starts = {}, std::uint64_t seed = 5489u);

  double sample() { return sample(engine_); }
  template <class URBG>
  double sample(URBG& g) {
    detail::UniformSource source(g);
    return sampleFrom(source);
  }
  template <class URBG>
  double operator()(URBG& g) { return sample(g); }

  void reset(LogDensity logDensity, double lower, double upper,
             const std::vector<double>& starts = {});
  void seed(std::uint64_t s) { engine_.seed(s); }

  Transform transform() const { return transform_; }
  std::size_t points() const { return x_.size(); }
  std::size_t evaluations() const { return evaluations_; }
  const std::vector<double>& evaluatedPoints() const { return x_; }
  double lowerLimit() const { return lower_; }
  double upperLimit() const { return upper_; }
  // Areas relative to exp(max log-density seen so far).
  double hatArea() const { return hatArea_; }
  double squeezeArea() const { return squeezeArea_; }

 private:
  struct Piece {
    double l, r;    // bounds (may be infinite)
    double tl;      // hat line's value at the anchor a in the transformed scale
    double anchor;  // finite point the line is expressed at
    double slope;
    double area;
  };
  double sampleFrom(detail::UniformSource& source);
  double evaluate(double x);
  void insert(double x, double h);
  void build();
  bool tryBuild();
  void checkConcave(std::size_t i) const;
  double toT(double h) const;
  double fromT(double t) const;
  double pieceArea(const Piece& p) const;
  double pieceInvert(const Piece& p, double q) const;
  double squeezeAt(double x) const;

  LogDensity logDensity_;
  double lower_ = 0, upper_ = 0;
  Transform transform_;
  std::vector<double> x_, h_, t_;  // t_: T(f / max seen)
  double hmax_ = 0;
  std::vector<Piece> pieces_;
  std::vector<double> cumulative_;
  double hatArea_ = 0, squeezeArea_ = 0;
  std::size_t evaluations_ = 0;
  std::mt19937_64 engine_;
};

}  // namespace ars
