#pragma once
// Samplers wired to densities the way the application prepares them.
#include <cmath>
#include <functional>
#include <utility>

#include "density/ars_density.h"
#include "density/beta_density.h"
#include "density/gamma_density.h"
#include "sampler/ars.h"
#include "sampler/uniform_random.h"

// A density given by a function, for shapes the program does not offer.
class FunctionDensity : public ARSDensity {
 public:
  explicit FunctionDensity(std::function<double(double)> f) : f_(std::move(f)) {}
  double logDensity(double x) const override {
    ++evaluations;
    return f_(x);
  }
  double densityValue(double x) const override { return std::exp(logDensity(x)); }
  mutable int evaluations = 0;

 private:
  std::function<double(double)> f_;
};

struct SamplerRig {
  explicit SamplerRig(ARSDensity& density, bool upperBounded = true, int seed = 1001) {
    rnd.setSeed(seed);
    sampler.prnd = &rnd;
    sampler.clear();
    sampler.reset();
    sampler.density = &density;
    sampler.upperBounded = upperBounded;
    sampler.keepPoints = true;
  }
  UniformRandom rnd;
  ARSSampler sampler;
};

inline ARSBetaDensity betaDensity(double a, double b) {
  ARSBetaDensity d;
  d.alpha = a;
  d.beta = b;
  return d;
}

inline ARSGammaDensity gammaDensity(double a, double b) {
  ARSGammaDensity d;
  d.alpha = a;
  d.beta = b;
  return d;
}
