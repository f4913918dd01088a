#pragma once
// The densities the T-concave sampler must draw exactly, with their
// distribution functions: heavy tails under -1/sqrt(f), and densities cut at
// their inflection points into concave and convex pieces under log.
#include <functional>
#include <string>
#include <vector>

#include "sampler/transformed_line.h"

struct TConcaveCase {
  std::string name;
  std::function<double(double)> logpdf, cdf;
  double lower, upper;
  ars::Transform transform;
  std::vector<double> splits;
};

struct Normal {
  double weight, mean, sd;
};

// log of a mixture of normals, and where its second derivative changes sign.
struct Mixture {
  std::vector<Normal> parts;

  double logpdf(double x) const;
  double cdf(double x) const;
  double curvature(double x) const;
  std::vector<double> inflections() const;
};

// Student t (nu = 1, 1.5, 2, 3, 5, 30), the half-Cauchy, and the normal
// under both transformations.
std::vector<TConcaveCase> heavyTailCases();
// Two mixtures of normals, -x^4 + 3x^2 and a flat top, each with its splits.
std::vector<TConcaveCase> pieceCases();
// For split points found from the evaluations (no splits given): mixtures of
// two, three and five normals of unequal scales, -x^4 + 3x^2, a log-density
// with six inflection points, and a Student t likelihood of two clusters of
// data (under -1/sqrt(f): its tails are convex under log).
std::vector<TConcaveCase> automaticSplitCases();
