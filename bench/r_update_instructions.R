# Instructions per Gibbs update from R, counted by callgrind (see
# bench/python_update_instructions.py, which runs this under valgrind):
# one loop of N(x / 2, 1) updates with a compiled log-density whose params
# hold the mean -- `rnorm` (rnorm(1, x / 2)), `fresh` (rlogconcave(1,
# pointer, starts = x, params = x / 2)) or `update` (the warm $update).
#   Rscript bench/r_update_instructions.R kind updates [library]
args <- commandArgs(trailingOnly = TRUE)
kind <- args[1]
updates <- as.integer(args[2])
lib <- if (length(args) > 2) args[3] else "build/r-lib"
suppressPackageStartupMessages(library(adaptiverejection, lib.loc = lib))
# rng = false: the pointer's maker need not save R's generator state.
Rcpp::sourceCpp(code = '
#include <Rcpp.h>
typedef double (*logpdf_fn)(double, void *);
static double normal(double x, void *data) {
  const double z = x - REAL(static_cast<SEXP>(data))[0];
  return -0.5 * (z * z);
}
// [[Rcpp::export(rng = false)]]
SEXP normal_logpdf() { return Rcpp::XPtr<logpdf_fn>(new logpdf_fn(&normal)); }')
pointer <- normal_logpdf()
set.seed(1)
x <- 0
if (kind == "rnorm") {
  for (i in seq_len(updates)) x <- rnorm(1, x / 2)
} else if (kind == "fresh") {
  for (i in seq_len(updates)) x <- rlogconcave(1, pointer, starts = x, params = x / 2)
} else {
  update <- logconcave_sampler(pointer, starts = x, params = 0)$update
  for (i in seq_len(updates)) x <- update(x, x / 2)
}
