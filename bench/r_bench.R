# The R package's speed targets, measured in one run:
#   rlogconcave(1e6, N(0, 1)) against rnorm(1e6)            (target: at most 2x)
#   one Gibbs update (a fresh density, one draw), N(0, 1):
#     with an R closure                                      (target: at most 20 us)
#     with an R closure that draws from R's generator itself
#     with a compiled log-density, one pointer and the
#     conditional's parameters as params                     (target: at most 3 us)
#     and both again on the warm path, a sampler's $update
#   and, for the T-concave sampler, the same update of a Student t (df = 3)
# Run after `make r`:  Rscript bench/r_bench.R [build/r-lib]
args <- commandArgs(trailingOnly = TRUE)
lib <- if (length(args)) args[1] else "build/r-lib"
suppressPackageStartupMessages(library(adaptiverejection, lib.loc = lib))

# The least of several elapsed times: the run least disturbed by other work.
best <- function(f, reps = 7) min(replicate(reps, system.time(f())[["elapsed"]]))

set.seed(1)
normal <- function(x) -x^2 / 2
t_ars <- best(function() rlogconcave(1e6, normal))
t_rnorm <- best(function() rnorm(1e6))

# A Gibbs update: the conditional's mean changes every time, so the envelope
# is built afresh; the previous state is the start.
updates <- 20000
gibbs_closure <- function() {
  x <- 0
  for (i in seq_len(updates)) {
    m <- x / 2
    x <- rlogconcave(1, function(v) -(v - m)^2 / 2, starts = x)
  }
}

# The same with a log-density that itself draws from R's generator: each of
# its evaluations after a draw hands the generator's state back to R and
# takes it again, the cost of never reusing a uniform.
gibbs_closure_runif <- function() {
  x <- 0
  for (i in seq_len(updates)) {
    m <- x / 2
    x <- rlogconcave(1, function(v) { runif(1); -(v - m)^2 / 2 }, starts = x)
  }
}
# A call of runif(1) for each evaluation of that log-density, alone.
evaluations_per_update <- local({
  x <- 0
  count <- 0
  for (i in seq_len(2000)) {
    m <- x / 2
    x <- rlogconcave(1, function(v) { count <<- count + 1; -(v - m)^2 / 2 }, starts = x)
  }
  count / 2000
})
runif_only <- function() for (i in seq_len(round(updates * evaluations_per_update))) runif(1)

# rng = false: the pointer's maker need not save R's generator state.
Rcpp::sourceCpp(code = '
#include <Rcpp.h>
typedef double (*logpdf_fn)(double, void *);
static double normal(double x, void *data) {
  const double z = x - REAL(static_cast<SEXP>(data))[0];
  return -0.5 * (z * z);
}
// [[Rcpp::export(rng = false)]]
SEXP normal_logpdf(Rcpp::NumericVector mean) {
  return Rcpp::XPtr<logpdf_fn>(new logpdf_fn(&normal), true, mean);
}')
# One pointer for every update; the conditional's mean comes as params.
pointer <- normal_logpdf(0)
gibbs_compiled <- function() {
  x <- 0
  for (i in seq_len(updates)) x <- rlogconcave(1, pointer, starts = x, params = x / 2)
}
# The same updates on the warm path: one sampler per coordinate, moved to
# each conditional by $update, taken out of the sampler once (s$update in
# the loop would look for a `$` method of its class at every update).
gibbs_warm_closure <- function() {
  x <- 0
  m <- 0
  update <- logconcave_sampler(function(v) -(v - m)^2 / 2, starts = x)$update
  for (i in seq_len(updates)) {
    m <- x / 2
    x <- update(x)
  }
}
gibbs_warm_compiled <- function() {
  x <- 0
  update <- logconcave_sampler(pointer, starts = x, params = 0)$update
  for (i in seq_len(updates)) x <- update(x, x / 2)
}
# A new pointer for every update, its tag holding the mean: what params saves.
gibbs_new_pointer <- function() {
  x <- 0
  for (i in seq_len(updates)) x <- rlogconcave(1, normal_logpdf(x / 2), starts = x)
}
# A Student t (df = 3) centred at x / 2, one draw per update, with rtconcave.
Rcpp::sourceCpp(code = '
#include <Rcpp.h>
typedef double (*logpdf_fn)(double, void *);
static double student3(double x, void *data) {
  const double z = x - REAL(static_cast<SEXP>(data))[0];
  return -2.0 * std::log1p(z * z / 3.0);
}
// [[Rcpp::export(rng = false)]]
SEXP student3_logpdf() { return Rcpp::XPtr<logpdf_fn>(new logpdf_fn(&student3)); }')
student <- student3_logpdf()
gibbs_t_closure <- function() {
  x <- 0
  for (i in seq_len(updates)) {
    m <- x / 2
    x <- rtconcave(1, function(v) -2 * log1p((v - m)^2 / 3), starts = x)
  }
}
gibbs_t_compiled <- function() {
  x <- 0
  for (i in seq_len(updates)) x <- rtconcave(1, student, starts = x, params = x / 2)
}
# A call of rnorm(1) in the same loop: R's own cost of one draw, by which
# the machine's speed (and load) divides out.
rnorm_only <- function() {
  x <- 0
  for (i in seq_len(updates)) x <- rnorm(1, x / 2)
}

# Taken in turns, so that a change of the machine's load between them
# shifts every loop alike; the least time of each.
loops <- list(rnorm = rnorm_only, closure = gibbs_closure, closure_runif = gibbs_closure_runif,
              runif = runif_only, compiled = gibbs_compiled,
              warm_closure = gibbs_warm_closure, warm_compiled = gibbs_warm_compiled,
              new = gibbs_new_pointer, t_closure = gibbs_t_closure, t_compiled = gibbs_t_compiled)
times <- replicate(5, vapply(loops, function(f) system.time(f())[["elapsed"]], 0))
u <- 1e6 * apply(times, 1, min) / updates
u_rnorm <- u[["rnorm"]]
u_closure <- u[["closure"]]
u_compiled <- u[["compiled"]]
u_new <- u[["new"]]
u_t_closure <- u[["t_closure"]]
u_t_compiled <- u[["t_compiled"]]

cat(sprintf("rlogconcave(1e6) %.3f s, rnorm(1e6) %.3f s: ratio %.2f (target <= 2)\n",
            t_ars, t_rnorm, t_ars / t_rnorm))
cat(sprintf("rnorm(1, x / 2) in the same loop:     %6.2f us\n", u_rnorm))
cat(sprintf("Gibbs update, R closure:             %6.2f us (%.1f rnorm calls; target <= 20 us: %.2f of it)\n",
            u_closure, u_closure / u_rnorm, u_closure / 20))
cat(sprintf("  whose logpdf calls runif(1):       %6.2f us (%.2f us more, of which %.2f us the runif calls)\n",
            u[["closure_runif"]], u[["closure_runif"]] - u_closure, u[["runif"]]))
cat(sprintf("Gibbs update, compiled, params:      %6.2f us (%.1f rnorm calls; target <= 3 us: %.2f of it)\n",
            u_compiled, u_compiled / u_rnorm, u_compiled / 3))
cat(sprintf("Gibbs update, warm ($update), R closure: %6.2f us (%.1f rnorm calls)\n",
            u[["warm_closure"]], u[["warm_closure"]] / u_rnorm))
cat(sprintf("Gibbs update, warm ($update), compiled:  %6.2f us (%.1f rnorm calls; target <= 3 us: %.2f of it)\n",
            u[["warm_compiled"]], u[["warm_compiled"]] / u_rnorm, u[["warm_compiled"]] / 3))
cat(sprintf("  a new pointer every update:        %6.2f us (%.1f rnorm calls)\n", u_new, u_new / u_rnorm))
cat(sprintf("Gibbs update, Student t, rtconcave:\n"))
cat(sprintf("  R closure:                         %6.2f us (%.1f rnorm calls)\n", u_t_closure, u_t_closure / u_rnorm))
cat(sprintf("  compiled, params:                  %6.2f us (%.1f rnorm calls)\n", u_t_compiled, u_t_compiled / u_rnorm))
