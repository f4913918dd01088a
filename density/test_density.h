#pragma once
#include "sampler/ars_density.h"

// A posterior on (0, 1): the log-likelihood of `count` observations under a
// Beta law with mean `mean` and parameters summing to t = (1 - x) / x, plus a
// Beta(priorAlpha, priorBeta) prior on x.
class ARSTestDensity : public ARSDensity {
 public:
  double logDensity(double x) const override;
  // Clamped to [exp(-12), exp(12)] inside the support.
  double densityValue(double x) const override;

  int count = 10;
  double sumLog = -2.84449359667;
  double sumLogComplement = -14.2560085217;
  double mean = 0.765001343578;
  double priorAlpha = 1.0;
  double priorBeta = 1.0;
};
