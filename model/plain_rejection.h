#pragma once
// Plain rejection sampling, for comparison with the adaptive kind: uniform
// candidates on a bounded range under one constant envelope at the curve's
// maximum; each candidate costs one evaluation of the density.
#include <cstddef>
#include <functional>
#include <vector>

class UniformRandom;

struct PlainRejection {
  // Plotted heights on the curve's scale, accepted and rejected candidates.
  std::vector<double> acceptedX, acceptedY;
  std::vector<double> rejectedX, rejectedY;
  std::size_t evaluations = 0;
  // Whether the last candidate was accepted (the last of its list).
  bool lastAccepted = false;
  // The range the candidates cover, and the share of the adaptive darts
  // beyond it: the mass plain rejection leaves out of an unbounded support.
  double xMin = 0.0, xMax = 0.0;
  bool rangeCutsSupport = false;
  double massLeftOut = 0.0;
  void clear();
};

// Throws candidates on [xMin, xMax] under exp(logTop) with the random source
// until `darts` are accepted or `maxCandidates` are spent; `plotted` turns a
// log height into the curve's scale.
void throwPlainRejection(PlainRejection& result, const std::function<double(double)>& logDensity,
                         double xMin, double xMax, double logTop, std::size_t darts, std::size_t maxCandidates,
                         UniformRandom& rnd, const std::function<double(double)>& plotted);
