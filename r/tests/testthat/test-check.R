cauchy <- function(x) dcauchy(x, log = TRUE)
refused <- function(expr) tryCatch({
  force(expr)
  FALSE
}, not_log_concave = function(e) TRUE)

test_that("check = TRUE catches a Cauchy in every one-draw update that plain draws miss", {
  set.seed(40)
  starts <- rcauchy(300)
  plain <- vapply(starts, function(x) refused(rlogconcave(1, cauchy, starts = x)), NA)
  # Most one-draw updates of a Cauchy never evaluate the points that prove it.
  expect_gt(sum(!plain), 50)
  expect_true(all(vapply(starts, function(x) refused(rlogconcave(1, cauchy, starts = x, check = TRUE)), NA)))
  expect_true(all(vapply(starts, function(x) refused(rlogconcave(1, cauchy, starts = x, check = 20L)), NA)))
  expect_true(all(vapply(starts, function(x) refused(rtconcave(1, cauchy, c = 0, starts = x, check = TRUE)), NA)))
  # The report is the package's condition, naming the points.
  e <- tryCatch(rlogconcave(1, cauchy, starts = 0.5, check = TRUE), error = identity)
  expect_s3_class(e, "not_log_concave")
  expect_match(conditionMessage(e), "chord")
})

test_that("check = TRUE never refuses log-concave (or, with c = -0.5, T-concave) densities", {
  set.seed(41)
  for (i in 1:150) {
    mu <- rnorm(1, 0, 100)
    sd <- exp(rnorm(1, 0, 3))
    a <- exp(rnorm(1, 0, 2))
    normal <- function(x) dnorm(x, mu, sd, log = TRUE)
    gamma <- function(x) dgamma(x, a + 1, log = TRUE)
    expect_false(refused(rlogconcave(1, normal, starts = mu + sd * rnorm(1), check = TRUE)))
    expect_false(refused(rlogconcave(1, gamma, lower = 0, starts = rgamma(1, a + 1), check = TRUE)))
    expect_false(refused(rtconcave(1, normal, c = 0, starts = mu + sd * rnorm(1), check = TRUE)))
    expect_false(refused(rtconcave(1, gamma, lower = 0, check = TRUE)))
    expect_false(refused(rtconcave(1, cauchy, starts = rcauchy(1), check = TRUE)))
  }
  # Draws after a check are still exact.
  expect_gte(ks.test(rlogconcave(1e4, function(x) -x^2 / 2, check = TRUE), pnorm)$p.value, 1e-6)
  expect_gte(ks.test(rtconcave(1e4, cauchy, check = 32), pcauchy)$p.value, 1e-6)
})

test_that("the samplers check at construction when asked, and on $check(n)", {
  normal <- function(x) -x^2 / 2
  s <- logconcave_sampler(normal, check = TRUE)
  before <- s$points
  expect_identical(s$check(), s)
  expect_gt(nrow(s$points), nrow(before))
  expect_length(s$sample(10), 10)
  t <- tconcave_sampler(cauchy, check = 8)
  e0 <- t$evaluations
  t$check(4)
  expect_gt(t$evaluations, e0)
  expect_length(t$sample(10), 10)
  # A Cauchy that construction alone lets through is refused by $check().
  set.seed(42)
  for (x in rcauchy(40)) {
    for (make in list(function() logconcave_sampler(cauchy, starts = x),
                      function() tconcave_sampler(cauchy, c = 0, starts = x))) {
      s <- tryCatch(make(), not_log_concave = function(e) NULL)
      if (!is.null(s)) expect_error(s$check(), class = "not_log_concave")
    }
    expect_error(logconcave_sampler(cauchy, starts = x, check = TRUE), class = "not_log_concave")
    expect_error(tconcave_sampler(cauchy, c = 0, starts = x, check = TRUE), class = "not_log_concave")
  }
})

test_that("check comes after the other arguments, and earlier positional calls still work", {
  f <- function(x) -x^2 / 2
  set.seed(43)
  x <- rlogconcave(20, f, 0, 1, NULL, NULL, TRUE)
  expect_true(all(x > 0 & x < 1))
  expect_true(all(rlogconcave(20, f, 0, 1, 0.5) > 0))
  expect_true(all(rtconcave(20, f, 0, 1, 0, NULL, 0.5, NULL, TRUE) > 0))
  expect_error(rlogconcave(1, cauchy, -Inf, Inf, 0.3, NULL, TRUE), class = "not_log_concave")
})

test_that("bad check values are errors that name check (or n) and the value", {
  f <- function(x) -x^2 / 2
  expect_error(rlogconcave(1, f, check = NA), "check must be TRUE .*, not NA")
  expect_error(rlogconcave(1, f, check = -1), "check must be .*, not -1")
  expect_error(rlogconcave(1, f, check = 2.5), "not 2.5")
  expect_error(rlogconcave(1, f, check = 1e7), "from 0 to 1000000, not 1e\\+?0?7|not 10000000")
  expect_error(rtconcave(1, f, check = "yes"), "check must be .*not a character of length 1")
  expect_error(logconcave_sampler(f, check = c(TRUE, TRUE)), "check must be .*logical of length 2")
  expect_error(tconcave_sampler(f, check = NaN), "check must be")
  expect_error(logconcave_sampler(f)$check(-2), "n must be .*, not -2")
  expect_error(tconcave_sampler(f)$check(NULL), "n must be .*NULL of length 0")
  # check = FALSE and 0 ask for nothing.
  s <- logconcave_sampler(f, check = 0)
  expect_identical(s$evaluations, logconcave_sampler(f, check = FALSE)$evaluations)
})
