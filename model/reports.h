#pragma once
// What a command meets that the user must be told at once, while the
// picture still shows it (a modal box in the window); the window implements it.
class Reports {
 public:
  // The sampler refused the density; the refusal is recorded in the model.
  virtual void refused() = 0;
  // The density gave the sampler a value it cannot use (NaN, +infinity).
  virtual void unusable(const char* what) = 0;
  // Next step before stepping began.
  virtual void notStepping() = 0;

 protected:
  Reports() = default;
  Reports(const Reports&) = default;
  Reports& operator=(const Reports&) = default;
  ~Reports() = default;
};
