#pragma once
// n draws into a new numeric vector from R's generator, checking for an
// interrupt (or a time limit) before a long run and between its blocks.
#include <Rcpp.h>

#include <algorithm>
#include <cstddef>

#include "rng_hand_back.h"

// Some milliseconds of drawing between two looks at the interrupt flag.
constexpr std::size_t drawsBetweenInterruptChecks = 1 << 16;

// R_CheckUserInterrupt under unwind protection: an interrupt stays an
// interrupt, and a time limit of setTimeLimit, which R raises from the same
// place as an error, stays an error, each resumed once the C++ frames are
// gone (r_failure.h).
void checkInterrupt();

template <class Sampler>
SEXP drawVector(Sampler& sampler, std::size_t n) {
  // Before a long run allocates: its pages are only touched as it fills them.
  const bool longRun = n > drawsBetweenInterruptChecks;
  if (longRun) checkInterrupt();
  Rcpp::NumericVector out(Rcpp::no_init(static_cast<R_xlen_t>(n)));
  rng::Session session;
  rng::Uniform uniform;
  double* at = out.begin();
  for (std::size_t done = 0; done < n;) {
    const std::size_t block = std::min(drawsBetweenInterruptChecks, n - done);
    sampler.sample(uniform, at + done, block);
    done += block;
    if (longRun) checkInterrupt();
  }
  return out;
}
