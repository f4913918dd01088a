#pragma once

// A univariate density known through its log-density, up to an additive
// constant. The sampler calls only logDensity, and after every envelope build
// writes logZero, the value returned outside the support, so that it lies
// just below the envelope's cut-off.
class ARSDensity {
 public:
  virtual double logDensity(double x) const = 0;
  virtual double densityValue(double x) const = 0;

  double logZero = -1000.0;

 protected:
  ARSDensity() = default;
  ARSDensity(const ARSDensity&) = default;
  ARSDensity& operator=(const ARSDensity&) = default;
  // Never destroyed through a base pointer: the owners hold densities by value.
  ~ARSDensity() = default;
};
