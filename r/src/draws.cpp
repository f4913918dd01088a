#include "draws.h"

#include <Rcpp.h>

#include <algorithm>

#include "adaptiverejection/r_uniform.h"

namespace {

// Some milliseconds of drawing between two looks at the interrupt flag.
constexpr std::size_t drawsBetweenInterruptChecks = 1 << 16;

}  // namespace

SEXP drawVector(ars::LogConcaveSampler& sampler, std::size_t n) {
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
