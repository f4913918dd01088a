#pragma once
// n draws into a new numeric vector from R's generator, checking for an
// interrupt between blocks of draws.
#include <Rcpp.h>

#include <algorithm>
#include <cstddef>

#include "adaptiverejection/r_uniform.h"

// Some milliseconds of drawing between two looks at the interrupt flag.
constexpr std::size_t drawsBetweenInterruptChecks = 1 << 16;

template <class Sampler>
SEXP drawVector(Sampler& sampler, std::size_t n) {
  Rcpp::NumericVector out(static_cast<R_xlen_t>(n));
  adaptiverejection::RngScope rng;
  adaptiverejection::RUniform uniform;
  double* at = out.begin();
  for (std::size_t done = 0; done < n;) {
    const std::size_t block = std::min(drawsBetweenInterruptChecks, n - done);
    sampler.sample(uniform, at + done, block);
    done += block;
    if (done < n) Rcpp::checkUserInterrupt();
  }
  return out;
}
