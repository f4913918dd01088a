test_that("bad arguments are plain errors that name the problem", {
  f <- function(x) -x^2 / 2
  expect_error(rlogconcave(1, f, 1, 0), "support \\[1, 0\\]")
  expect_error(rlogconcave(1, f, NA, 1), "lower")
  expect_error(rlogconcave(1, f, 0, 1, starts = 2), "starting abscissa 2 lies outside")
  expect_error(rlogconcave(-1, f), "n must be")
  expect_error(rlogconcave(1.5, f), "n must be")
  expect_error(rlogconcave(1, 3), "logpdf must be a function")
  expect_error(rlogconcave(1, function(x) NaN), "logpdf returned NaN at x = 0")
  expect_error(rlogconcave(1, function(x) NA_real_), "logpdf returned NA")
  expect_error(rlogconcave(1, function(x) Inf), "logpdf returned Inf")
  expect_error(rlogconcave(1, function(x) "a"), "character vector of length 1")
  expect_error(rlogconcave(1, function(x) c(-x, x)), "double vector of length 2")
})

test_that("an error inside logpdf comes through as it is", {
  mine <- structure(class = c("my_error", "error", "condition"), list(message = "mine", call = NULL))
  expect_error(rlogconcave(1, function(x) stop(mine)), class = "my_error")
  expect_error(logconcave_sampler(function(x) stop("boom"))$sample(1), "boom")
  # The reused sampler is free again afterwards.
  expect_length(rlogconcave(3, function(x) -x^2 / 2), 3)
})

test_that("an error in evaluating an argument comes through, after n is checked", {
  f <- function(x) -x^2 / 2
  expect_error(rlogconcave(-1, f, starts = stop("late")), "n must be")
  expect_error(rlogconcave(1, f, starts = stop("early")), "early")
  expect_error(rtconcave(1, f, starts = stop("early")), "early")
  cleaned <- FALSE
  g <- function() {
    on.exit(cleaned <<- TRUE)
    logconcave_sampler(f, starts = stop("inner"))
  }
  expect_error(g(), "inner")
  expect_true(cleaned)
  expect_length(rlogconcave(3, f, starts = 0.5), 3)  # and the next call works
})

test_that("a density that is not log-concave raises not_log_concave naming the points", {
  e <- tryCatch(rlogconcave(10, function(x) x^2, -1, 1), error = identity)
  expect_s3_class(e, "not_log_concave")
  expect_match(conditionMessage(e), "h\\(-?[0-9.]+\\) = .* chord")
  expect_error(rlogconcave(10, function(x) x, lower = 0), class = "not_log_concave")
  bimodal <- function(x) log(exp(-(x - 4)^2 / 2) + exp(-(x + 4)^2 / 2))
  expect_error(rlogconcave(1e4, bimodal), class = "not_log_concave")
})

test_that("logpdf may itself call rlogconcave", {
  set.seed(1)
  inner <- function(x) -x^2 / 2 + 0 * rlogconcave(1, function(y) -y^2 / 2)
  expect_length(rlogconcave(5, inner), 5)
})

test_that("an interrupt stops a long draw and leaves R usable", {
  interrupt_on_call <- function(k) {
    calls <- 0
    function(x) {
      calls <<- calls + 1
      if (calls == k) tools::pskill(Sys.getpid(), tools::SIGINT)
      -x^2 / 2
    }
  }
  stopped <- function(expr) tryCatch(expr, interrupt = function(e) "interrupted")
  expect_identical(stopped(rlogconcave(1e7, interrupt_on_call(3))), "interrupted")
  s <- logconcave_sampler(interrupt_on_call(30))
  expect_identical(stopped(s$sample(1e7)), "interrupted")
  expect_length(s$sample(10), 10)
  expect_length(rlogconcave(5, function(x) -x^2 / 2), 5)
})
