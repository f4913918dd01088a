#pragma once
#include "sampler/ars_density.h"

// The Beta law on (0, 1), without its normalising constant.
class ARSBetaDensity : public ARSDensity {
 public:
  double logDensity(double x) const override;
  double densityValue(double x) const override;

  double alpha = 1.0;
  double beta = 1.0;
};
