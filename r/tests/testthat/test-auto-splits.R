mixture <- function(w, mu, s) {
  # Summed on the log scale: far out every component's density underflows.
  list(logpdf = function(x) {
    l <- log(w) + dnorm(x, mu, s, log = TRUE)
    top <- max(l)
    top + log(sum(exp(l - top)))
  },
       cdf = function(q) vapply(q, function(v) sum(w * pnorm(v, mu, s)), 0))
}

test_that("splits = \"auto\" samples a two-mode mixture exactly", {
  m <- mixture(c(0.5, 0.5), c(-3, 3), c(1, 0.5))
  set.seed(50)
  for (i in 1:3) expect_gte(ks.test(rtconcave(2e4, m$logpdf, splits = "auto"), m$cdf)$p.value, 1e-6)
  # Under log f too, where a hat's tails fall as fast as one mode's.
  for (i in 1:3) expect_gte(ks.test(rtconcave(2e4, m$logpdf, c = 0, splits = "auto"), m$cdf)$p.value, 1e-6)
  # Without split points the same mixture is refused.
  expect_error(rtconcave(2e4, m$logpdf), class = "not_log_concave")
  s <- tconcave_sampler(m$logpdf, splits = "auto")
  y <- s$sample(2e4)
  expect_gte(ks.test(y, m$cdf)$p.value, 1e-6)
  # The found split points lie between the modes' inflections.
  expect_true(length(s$splits) >= 2 && all(s$splits > -4 & s$splits < 4))
  # One-draw updates stay exact, with the splits found anew each time.
  z <- numeric(5000)
  for (i in seq_along(z)) z[i] <- s$update(if (i > 1) z[i - 1] else 0)
  expect_gte(ks.test(z, m$cdf)$p.value, 1e-6)
})

test_that("scan finds a far small mode that the evaluations miss", {
  m <- mixture(c(0.99, 0.01), c(0, 100), c(1, 1))
  set.seed(51)
  # No evaluation comes near the far mode: its mass is lost.
  expect_identical(mean(rtconcave(4e4, m$logpdf, c = 0, splits = "auto") > 50), 0)
  x <- rtconcave(4e4, m$logpdf, c = 0, splits = "auto", scan = c(-120, 120, 121))
  expect_equal(mean(x > 50), 0.01, tolerance = 0.25)
  expect_gte(ks.test(x, m$cdf)$p.value, 1e-6)
  s <- tconcave_sampler(m$logpdf, c = 0, splits = "auto", scan = c(-120, 120, 121))
  expect_gte(s$evaluations, 121)
  expect_equal(mean(s$sample(4e4) > 50), 0.01, tolerance = 0.25)
})

test_that("bad splits and scan values are errors naming them", {
  f <- function(x) -x^2 / 2
  expect_error(rtconcave(1, f, splits = "Auto"), "splits must be NULL, \"auto\" or a numeric vector")
  expect_error(rtconcave(1, f, splits = c("auto", "auto")), "splits must be NULL, \"auto\"")
  expect_error(rtconcave(1, f, scan = c(-1, 1, 10)), "scan serves only splits = \"auto\"")
  expect_error(rtconcave(1, f, splits = "auto", scan = c(1, -1, 10)), "scan must be c\\(from, to, points\\).*from = 1")
  expect_error(rtconcave(1, f, splits = "auto", scan = c(-1, 1, 1)), "not points = 1")
  expect_error(rtconcave(1, f, splits = "auto", scan = c(-1, 1, 2.5)), "not points = 2.5")
  expect_error(tconcave_sampler(f, splits = "auto", scan = c(-1, Inf, 5)), "scan must be")
  expect_error(tconcave_sampler(f, splits = "auto", scan = c(-1, 1)), "scan must be")
  # Numeric splits and positional calls are as before.
  expect_length(rtconcave(5, f, -Inf, Inf, 0, c(-1, 1)), 5)
  expect_identical(tconcave_sampler(f, c = 0, splits = c(-1, 1))$splits, c(-1, 1))
})
