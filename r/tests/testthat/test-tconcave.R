ks_p <- function(x, cdf, ...) ks.test(x, cdf, ...)$p.value
t_logpdf <- function(df) function(x) -(df + 1) / 2 * log1p(x^2 / df)

test_that("Student t draws follow pt, at once and one per fresh sampler (Gibbs)", {
  set.seed(30)
  for (df in c(1, 3)) expect_gte(ks_p(rtconcave(1e5, t_logpdf(df)), pt, df = df), 1e-6)
  # Exact draws do not depend on the start, so a chain of one draw per call
  # started at the previous draw is an i.i.d. sample.
  x <- numeric(2e4)
  for (i in seq_along(x)) x[i] <- rtconcave(1, t_logpdf(1), starts = if (i > 1) x[i - 1])
  expect_gte(ks_p(x, pt, df = 1), 1e-6)
})

test_that("a mixture with its inflection points as splits is exact under log", {
  # 0.7 N(0, 1) + 0.3 N(4, 0.5^2); log f turns where (log f)'' = 0.
  w <- c(0.7, 0.3); mu <- c(0, 4); s <- c(1, 0.5)
  parts <- function(x) w * dnorm(x, mu, s)
  logf <- function(x) log(sum(parts(x)))
  second <- function(x) {
    f <- parts(x); d1 <- -(x - mu) / s^2 * f; d2 <- ((x - mu)^2 / s^4 - 1 / s^2) * f
    sum(d2) / sum(f) - (sum(d1) / sum(f))^2
  }
  grid <- seq(-3, 7, by = 0.01)
  sign_change <- which(diff(sign(vapply(grid, second, 0))) != 0)
  splits <- vapply(sign_change, function(i) uniroot(second, grid[c(i, i + 1)], tol = 1e-12)$root, 0)
  expect_length(splits, 2)
  set.seed(31)
  x <- rtconcave(1e5, logf, c = 0, splits = splits)
  cdf <- function(q) w[1] * pnorm(q, mu[1], s[1]) + w[2] * pnorm(q, mu[2], s[2])
  expect_gte(ks_p(x, cdf), 1e-6)
})

test_that("set.seed repeats draws, and a kept sampler draws as rtconcave", {
  f <- t_logpdf(3)
  set.seed(7)
  a <- rtconcave(1000, f)
  set.seed(7)
  expect_identical(rtconcave(1000, f), a)
  set.seed(7)
  s <- tconcave_sampler(f)
  expect_identical(c(s$sample(400), s$sample(600)), a)
  integral <- sqrt(3) * beta(0.5, 1.5)
  expect_true(s$squeeze_area <= integral && integral <= s$hat_area)
  expect_equal(names(s$points), c("x", "logpdf"))
  expect_output(print(s), "T = -1/sqrt\\(f\\)")
  pdf(NULL)
  on.exit(dev.off())
  expect_silent(plot(s))
})

test_that("what is not T-concave is refused with the transformation named", {
  e <- tryCatch(rtconcave(1e4, t_logpdf(0.5)), error = identity)
  expect_s3_class(e, "not_log_concave")
  expect_match(conditionMessage(e), "-1/sqrt(f)", fixed = TRUE)
  # Without its splits the mixture is refused, or what is drawn is exact.
  twins <- function(x) -x^2 / 2 + 3 * abs(x) + log1p(exp(-6 * abs(x)))
  for (c in c(0, -0.5)) {
    set.seed(32)
    x <- tryCatch(rtconcave(1e5, twins, c = c), not_log_concave = identity)
    if (inherits(x, "not_log_concave")) {
      expect_match(conditionMessage(x), if (c == 0) "log f" else "-1/sqrt(f)", fixed = TRUE)
    } else {
      expect_gte(ks_p(x, function(q) (pnorm(q + 3) + pnorm(q - 3)) / 2), 1e-6)
    }
  }
  # A convex piece may not reach an infinite end.
  expect_error(rtconcave(100, function(x) if (x > 1) x^3 else -x^2, c = 0, splits = 1),
               class = "not_log_concave")
})

test_that("bad arguments are plain errors that name the problem", {
  f <- t_logpdf(3)
  expect_error(rtconcave(1, f, c = 1), "c must be 0 .* not 1")
  expect_error(rtconcave(1, f, c = c(0, -0.5)), "c must be 0")
  expect_error(rtconcave(1, f, 0, 1, splits = 2), "splits\\[1\\] = 2 lies outside the open support \\(0, 1\\)")
  expect_error(rtconcave(1, f, splits = c(1, 0)), "splits must increase, but splits\\[2\\] = 0 follows 1")
  expect_error(rtconcave(1, f, splits = NA_real_), "splits\\[1\\] is NA")
  expect_error(rtconcave(1, f, 0, 1, starts = 1), "starting abscissa 1 lies outside the open support")
  expect_error(rtconcave(1, f, 1, 0), "support \\[1, 0\\]")
  expect_error(rtconcave(1, f, params = 1), "params is for a compiled logpdf")
  expect_error(rtconcave(1, function(x) NaN), "logpdf returned NaN")
  expect_error(tconcave_sampler(function(x) stop("boom")), "boom")
  expect_length(rtconcave(3, f), 3)
})

test_that("$update moves a T-concave sampler to each conditional and draws from it", {
  m <- 0
  s <- tconcave_sampler(function(v) -2 * log1p((v - m)^2 / 3), starts = 0)
  set.seed(33)
  n <- 20000
  centres <- cumsum(rnorm(n))
  z <- numeric(n)
  x <- 0
  for (i in seq_len(n)) {
    m <- centres[i]
    x <- s$update(x)
    z[i] <- x - m
  }
  expect_gte(ks_p(z, pt, df = 3), 1e-6)
  # With splits: a mixture whose halves move apart and together.
  a <- acosh(3) / 3
  w <- tconcave_sampler(function(x) -x^2 / 2 + 3 * abs(x) + log1p(exp(-6 * abs(x))), c = 0,
                        splits = c(-a, a))
  y <- vapply(seq_len(5000), function(i) w$update(0), 0)
  expect_gte(ks_p(y, function(q) (pnorm(q + 3) + pnorm(q - 3)) / 2), 1e-6)
  expect_error(s$update(Inf), "lies outside the support")
  expect_error(s$update(0, params = 1), "params is for a compiled logpdf")
  expect_length(s$sample(3), 3)
})
