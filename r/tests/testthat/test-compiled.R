# One compilation for both ways into compiled code: a log-density made with
# Rcpp::XPtr, and the C++ sampler of <adaptiverejection.h> (LinkingTo).
skip_if_not(nzchar(Sys.which(sub(" .*", "", system2(file.path(R.home("bin"), "R"),
                                                     c("CMD", "config", "CXX17"), stdout = TRUE)))),
            "no C++17 compiler")
Rcpp::sourceCpp(code = '
// [[Rcpp::depends(adaptiverejection)]]
// [[Rcpp::plugins(cpp17)]]
#include <Rcpp.h>
#include <adaptiverejection.h>

typedef double (*logpdf_fn)(double, void *);

static double normal(double x, void *data) {
  const double *p = REAL(static_cast<SEXP>(data));
  const double z = (x - p[0]) / p[1];
  return -0.5 * (z * z);
}

// [[Rcpp::export]]
SEXP normal_logpdf(Rcpp::NumericVector params) {
  return Rcpp::XPtr<logpdf_fn>(new logpdf_fn(&normal), true, params);
}

static double reads_data(double x, void *data) {
  const double z = x - REAL(static_cast<SEXP>(data))[0];
  return -0.5 * (z * z);
}

// [[Rcpp::export]]
SEXP reads_data_logpdf() { return Rcpp::XPtr<logpdf_fn>(new logpdf_fn(&reads_data)); }

// [[Rcpp::export]]
SEXP not_a_function(double v) { return Rcpp::XPtr<double>(new double(v)); }

// [[Rcpp::export]]
Rcpp::NumericVector linked_draws(int n, double mean, double sd) {
  adaptiverejection::LogConcaveSampler s(
      [=](double x) { const double z = (x - mean) / sd; return -0.5 * (z * z); }, R_NegInf, R_PosInf);
  Rcpp::NumericVector out(n);
  adaptiverejection::RngScope scope;
  adaptiverejection::RUniform u;
  s.sample(u, out.begin(), out.size());
  return out;
}

// [[Rcpp::export]]
Rcpp::NumericVector linked_t_draws(int n, double c, Rcpp::NumericVector splits) {
  // The Cauchy under -1/sqrt(f); under log, 0.5 N(-3, 1) + 0.5 N(3, 1) cut at its inflections.
  auto h = [c](double x) {
    return c == 0 ? -x * x / 2 + 3 * std::fabs(x) + std::log1p(std::exp(-6 * std::fabs(x)))
                  : -std::log1p(x * x);
  };
  adaptiverejection::TConcaveSampler s(h, R_NegInf, R_PosInf, c,
                                       std::vector<double>(splits.begin(), splits.end()));
  Rcpp::NumericVector out(n);
  adaptiverejection::RngScope scope;
  adaptiverejection::RUniform u;
  s.sample(u, out.begin(), out.size());
  if (!(s.squeezeArea() <= s.hatArea()) || s.evaluations() == 0 || s.points() < 3)
    Rcpp::stop("inspection");
  return out;
}

// What f threw, by kind: the refusal (under its label), a bad argument, or
// an error of the log-density itself; "none" when it ended normally.
template <class F>
std::string failure(const char* refusal, F f) {
  try {
    f();
  } catch (const ars::NotLogConcave& e) {
    return std::string(refusal) + ": " + e.what();
  } catch (const std::invalid_argument& e) {
    return std::string("invalid: ") + e.what();
  } catch (const std::range_error& e) {
    return std::string("own: ") + e.what();
  }
  return "none";
}

// [[Rcpp::export]]
std::string linked_t_failure(int which) {
  return failure("not T-concave", [which] {
    std::mt19937_64 g(1);
    auto t_half = [](double x) { return -0.75 * std::log1p(2 * x * x); };
    if (which == 1) {
      adaptiverejection::TConcaveSampler s(t_half, R_NegInf, R_PosInf);
      for (int i = 0; i < 100000; ++i) s.sample(g);
    }
    if (which == 2) adaptiverejection::TConcaveSampler(t_half, R_NegInf, R_PosInf, 1.0);
    if (which == 3) adaptiverejection::TConcaveSampler(t_half, 0, 1, -0.5, {0.5, 0.25});
    if (which == 4) adaptiverejection::TConcaveSampler([](double) -> double { throw std::range_error("mine"); }, -1, 1);
  });
}

// [[Rcpp::export]]
std::string linked_failure(int which) {
  return failure("not log-concave", [which] {
    std::mt19937_64 g(1);
    if (which == 1) adaptiverejection::LogConcaveSampler([](double x) { return x * x; }, -1, 1).sample(g);
    if (which == 2) adaptiverejection::LogConcaveSampler([](double) { return 0.0; }, 1, 0);
    if (which == 3) adaptiverejection::LogConcaveSampler([](double) -> double { throw std::range_error("mine"); }, -1, 1);
  });
}
', env = environment())

test_that("a compiled log-density gives the closure's draws", {
  set.seed(5)
  closure <- rlogconcave(5000, function(x) -0.5 * ((x - 3) / 2)^2)
  set.seed(5)
  expect_identical(rlogconcave(5000, normal_logpdf(c(3, 2))), closure)
  set.seed(5)
  s <- logconcave_sampler(normal_logpdf(c(3, 2)))
  expect_identical(s$sample(5000), closure)
  expect_error(rlogconcave(1, normal_logpdf(c(0, NaN))), "logpdf returned NaN")
  # No R code runs while it draws: the draw loop itself must see the interrupt.
  interrupted <- tryCatch({
    tools::pskill(Sys.getpid(), tools::SIGINT)
    rlogconcave(1e7, normal_logpdf(c(0, 1)))
  }, interrupt = function(e) "interrupted")
  expect_identical(interrupted, "interrupted")
})

test_that("the C++ sampler of other packages draws as rlogconcave does and throws in their code", {
  set.seed(6)
  closure <- rlogconcave(5000, function(x) -0.5 * ((x - 3) / 2)^2)
  set.seed(6)
  expect_identical(linked_draws(5000, 3, 2), closure)
  expect_match(linked_failure(1), "^not log-concave: .*chord")
  expect_match(linked_failure(2), "^invalid: the support \\[1, 0\\]")
  expect_identical(linked_failure(3), "own: mine")
})

test_that("the C++ T-concave sampler takes c and splits as rtconcave does and draws the same", {
  set.seed(7)
  cauchy <- rtconcave(4000, function(x) -log1p(x^2))
  set.seed(7)
  expect_identical(linked_t_draws(4000, -0.5, numeric()), cauchy)
  a <- acosh(3) / 3
  set.seed(8)
  twins <- rtconcave(4000, function(x) -x^2 / 2 + 3 * abs(x) + log1p(exp(-6 * abs(x))), c = 0,
                     splits = c(-a, a))
  set.seed(8)
  expect_identical(linked_t_draws(4000, 0, c(-a, a)), twins)
  expect_match(linked_t_failure(1), "^not T-concave: .*-1/sqrt\\(f\\)")
  expect_identical(linked_t_failure(2), tryCatch(rtconcave(1, function(x) 0, c = 1),
                                                 error = function(e) paste("invalid:", conditionMessage(e))))
  expect_identical(linked_t_failure(3),
                   tryCatch(rtconcave(1, function(x) 0, 0, 1, splits = c(0.5, 0.25)),
                            error = function(e) paste("invalid:", conditionMessage(e))))
  expect_identical(linked_t_failure(4), "own: mine")
})

test_that("params reach a compiled log-density in place of its tag, for both samplers", {
  h <- normal_logpdf(c(0, 1))
  set.seed(9)
  tagged <- rlogconcave(2000, normal_logpdf(c(3, 2)))
  set.seed(9)
  expect_identical(rlogconcave(2000, h, params = c(3, 2)), tagged)
  set.seed(9)
  expect_identical(logconcave_sampler(h, params = c(3L, 2L))$sample(2000), tagged)
  set.seed(10)
  closure <- rtconcave(2000, function(x) -0.5 * ((x - 3) / 2)^2)
  set.seed(10)
  expect_identical(rtconcave(2000, h, params = c(3, 2)), closure)
  set.seed(10)
  expect_identical(tconcave_sampler(h, params = c(3, 2))$sample(2000), closure)
  expect_error(rlogconcave(1, h, params = "a"), "params must be NULL or a numeric vector, not a character")
})

test_that("update draws from each conditional its params give, and keeps them for later draws", {
  h <- normal_logpdf(c(0, 1))
  s <- logconcave_sampler(h, starts = 0, params = c(0, 1))
  set.seed(11)
  # Conditionals that move and change scale from update to update: the
  # standardised draws are N(0, 1) only if each update drew from its own.
  n <- 20000
  m <- cumsum(rnorm(n, sd = 0.5))
  sd <- exp(rnorm(n, sd = 0.3))
  x <- 0
  z <- numeric(n)
  for (i in seq_len(n)) {
    x <- s$update(x, params = c(m[i], sd[i]))
    z[i] <- (x - m[i]) / sd[i]
  }
  expect_gt(ks.test(z, pnorm)$p.value, 1e-6)
  # Integer params are copied to doubles; the copy must outlive the update.
  s$update(0, params = c(40L, 1L))
  gc()
  expect_lt(abs(mean(s$sample(5000)) - 40), 0.1)
  expect_error(s$update(NA), "start must be a single number")
  expect_error(s$update(0, params = "a"), "params must be NULL or a numeric vector")
  expect_error(logconcave_sampler(function(v) -v^2, starts = 0)$update(0, params = 1),
               "params is for a compiled logpdf")
  b <- logconcave_sampler(h, 0, 1, starts = 0.5, params = c(0.5, 1))
  expect_error(b$update(2, params = c(0.5, 1)), "outside the support")
})

test_that("a compiled logpdf given nothing to read, or a pointer to no function, is an error, not a crash", {
  h <- reads_data_logpdf()
  expect_error(rlogconcave(3, h), "logpdf returned NaN at x = .*neither params nor a tag")
  set.seed(12)
  expect_gte(ks.test(rlogconcave(5000, h, params = 2), pnorm, 2)$p.value, 1e-6)
  expect_error(logconcave_sampler(h), "neither params nor a tag")
  for (v in c(0.5, 3, 1e300)) {
    expect_error(rlogconcave(3, not_a_function(v)), "does not hold a pointer to a compiled function")
    expect_error(tconcave_sampler(not_a_function(v)), "does not hold a pointer to a compiled function")
  }
  expect_length(rlogconcave(3, normal_logpdf(c(0, 1))), 3)
})

test_that("a time limit or an interrupt reaches a long compiled draw as R raises it", {
  h <- normal_logpdf(c(0, 1))
  on.exit(setTimeLimit())
  # No R code runs in the draw: only its own checks can see the limit, which
  # R raises as an error.
  setTimeLimit(elapsed = 0.05, transient = TRUE)
  caught <- tryCatch(rlogconcave(5e7, h), error = function(e) conditionMessage(e),
                     interrupt = function(e) "interrupt")
  setTimeLimit()
  expect_match(caught, "time limit")
  # An interrupt pending when the draw starts is seen before its output is
  # allocated (which this one could not be).
  interrupted <- tryCatch({
    tools::pskill(Sys.getpid(), tools::SIGINT)
    rlogconcave(2^50, h)
  }, interrupt = function(e) "interrupted", error = function(e) conditionMessage(e))
  expect_identical(interrupted, "interrupted")
  expect_length(rlogconcave(3, h), 3)
})

test_that("a failed compiled update leaves the sampler with its last conditional", {
  s <- logconcave_sampler(normal_logpdf(c(0, 1)), starts = 0, params = c(5, 1))
  set.seed(13)
  s$update(5, params = c(5, 1))
  expect_error(s$update(0, params = c(0, NaN)), "logpdf returned NaN")
  expect_lt(abs(mean(s$sample(5000)) - 5), 0.1)
})
