#pragma once
// LogConcaveSampler: exact draws from any univariate log-concave density.
//
// What it samples. The density f on a support [lower, upper] (either end may
// be infinite) given by its log-density h = log f + constant: any callable
// double(double), known only up to an additive constant, returning
// -infinity where the density is zero. No derivative, mode, location or
// scale is needed; optional starting abscissae (inside the support, with
// finite h) replace the search for starting points.
//
// How. Derivative-free adaptive rejection sampling (ARSSampler): an upper
// hull of secants and a squeeze of chords through the evaluated points;
// every rejected candidate refines both. Here the secants are not spread
// apart (the hull lies on or above h wherever h is concave), pieces are
// integrated exactly, and starting points are found by steps that grow or
// halve geometrically, so nothing depends on location or scale.
//
// Guarantees. Draws follow f restricted to the support; an unbounded end is
// cut where the first hull's tail holds less than 1e-20 of the density's mass
// (the cut never moves), and finite ends move in only to where h is
// -infinity. Every call ends: refinement stops at ARSSampler::maxPoints
// points, after which the envelope stays as it is and draws remain exact.
// Uniforms come from std::mt19937_64: the same seed gives the same draws.
//
// Throws. std::invalid_argument from the constructor for a bad support
// (lower not below upper), a starting abscissa outside the support or where
// h is not finite, or h NaN or +infinity anywhere evaluated (also from
// sample()). ARSSampler::XNotLogConcave, from the constructor or later from
// sample(), when the evaluated points prove h not concave (a point below the
// chord of its neighbours beyond rounding, or a zero between positive values)
// or the density not integrable towards an unbounded end (e.g. e^x on
// [0, inf); Cauchy and Student t are reported by the search for starting
// points, or else by the first draw that lands where a tail is heavier than
// the hull's).
//
// Cost. About 3 N^(1/3) envelope points for N draws (one per rejection) and
// about 5 N^(1/3) evaluations of h (rejections, plus the draws that the
// squeeze cannot decide), after a few dozen to start: some 650 points and
// 1,100 evaluations for 10^7 draws. Almost every draw is accepted by the
// squeeze alone: two uniforms, one exp and one log, no evaluation.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "sampler/sampler_counts.h"

class LogConcaveSampler {
 public:
  using LogDensity = std::function<double(double)>;

  LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                    const std::vector<double>& starts = {}, std::uint64_t seed = 5489u);
  ~LogConcaveSampler();
  LogConcaveSampler(LogConcaveSampler&&) noexcept;
  LogConcaveSampler& operator=(LogConcaveSampler&&) noexcept;
  LogConcaveSampler(const LogConcaveSampler&) = delete;
  LogConcaveSampler& operator=(const LogConcaveSampler&) = delete;

  // One draw.
  double sample();
  // count draws into out[0] ... out[count - 1].
  void sample(double* out, std::size_t count);

  // Since construction: draws (candidates), squeeze and density acceptances,
  // rejections, and evaluations of the log-density (the search included).
  const SamplerCounts& counts() const;
  // Points of the envelope.
  std::size_t points() const;
  // The interval the envelope covers: the support, with unbounded ends cut.
  double lowerLimit() const;
  double upperLimit() const;

 private:
  struct Core;
  std::unique_ptr<Core> core_;
};
