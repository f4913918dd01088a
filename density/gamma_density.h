#pragma once
#include "sampler/ars_density.h"

// The Gamma law on (0, infinity) with shape alpha and scale beta (mean alpha * beta),
// normalised.
class ARSGammaDensity : public ARSDensity {
 public:
  double logDensity(double x) const override;
  double densityValue(double x) const override;

  double alpha = 1.0;
  double beta = 1.0;
};
