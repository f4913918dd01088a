#pragma once
// Where the log of a two-normal mixture w N(mu1, sigma1^2) + (1 - w)
// N(mu2, sigma2^2) turns between concave and convex: the split points that
// let it be sampled exactly piece by piece. None when it is log-concave.
#include <vector>

struct NormalMixture {
  double w, mu1, sigma1, mu2, sigma2;
};

// The second derivative of log f, written with the components' shares
// r1 + r2 = 1 of f(x) so that it never overflows:
// -r1/sigma1^2 - r2/sigma2^2 + r1 r2 (m1 - m2)^2, m_i = (x - mu_i)/sigma_i^2.
double mixtureLogCurvature(const NormalMixture& m, double x);

// The points where that second derivative changes sign, increasing, each
// to the last bit its bisection can tell.
std::vector<double> mixtureInflections(const NormalMixture& m);
