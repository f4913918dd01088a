ks_p <- function(x, cdf, ...) ks.test(x, cdf, ...)$p.value
normal <- function(x) -x^2 / 2

test_that("R code in logpdf that draws from R's generator does not make the draws reuse uniforms", {
  other <- logconcave_sampler(normal)
  logpdfs <- list(
    runif = function(x) { runif(1); -x^2 / 2 },
    sample.int = function(x) { sample.int(10, 1); -x^2 / 2 },
    nested = function(x) -x^2 / 2 + 0 * rlogconcave(1, normal),
    other_sampler = function(x) -x^2 / 2 + 0 * other$sample(1)
  )
  for (name in names(logpdfs)) {
    f <- logpdfs[[name]]
    set.seed(40)
    x <- rlogconcave(2e4, f)
    set.seed(40)
    y <- logconcave_sampler(f)$sample(2e4)
    set.seed(40)
    z <- rtconcave(2e4, f)
    for (draws in list(x, y, z)) {
      expect_equal(anyDuplicated(draws), 0, label = name)
      expect_gte(ks_p(draws, pnorm), 1e-6)
    }
    # Still one stream: the same seed repeats the run (other's envelope has
    # grown meanwhile, and draws a different number of uniforms).
    set.seed(40)
    if (name != "other_sampler") expect_identical(rlogconcave(2e4, f), x, label = name)
  }
  # The warm update draws one value after the R code's uniforms.
  m <- 0
  s <- logconcave_sampler(function(v) { runif(1); -(v - m)^2 / 2 }, starts = 0)
  set.seed(41)
  z <- vapply(seq_len(5000), function(i) s$update(0), 0)
  expect_equal(anyDuplicated(z), 0)
  expect_gte(ks_p(z, pnorm), 1e-6)
})

test_that("a sampler used from inside its own logpdf is refused and draws afterwards", {
  s <- NULL
  inner <- FALSE
  s <- logconcave_sampler(function(x) {
    if (inner) s$sample(5)
    -x^2 / 2
  })
  inner <- TRUE
  expect_error(s$sample(1e4), "a sampler cannot be used from inside its own logpdf", fixed = TRUE)
  expect_error(s$update(0), "a sampler cannot be used from inside its own logpdf", fixed = TRUE)
  inner <- FALSE
  expect_length(s$sample(3), 3)
  t <- NULL
  t <- tconcave_sampler(function(x) { if (!is.null(t)) t$sample(1); -log1p(x^2) })
  expect_error(t$sample(1e4), "a sampler cannot be used from inside its own logpdf", fixed = TRUE)
})

test_that("a logpdf result that is not a number is refused, whatever its storage", {
  expect_error(rlogconcave(3, function(x) factor("a")), "logpdf must return one number.*factor")
  expect_error(rlogconcave(3, function(x) list(-x^2)), "logpdf must return one number.*list")
  expect_error(rlogconcave(3, function(x) NA), "logpdf returned NA")
  expect_length(rlogconcave(3, function(x) -abs(x) + FALSE), 3)
})

test_that("a failed update leaves the sampler as it was", {
  s <- logconcave_sampler(normal, starts = 0)
  before <- s$points
  expect_error(s$update(Inf), "lies outside the support")
  expect_error(s$update(NA), "start must be a single number")
  expect_identical(s$points, before)
  expect_length(s$sample(3), 3)
  b <- logconcave_sampler(function(x) log(x) + log1p(-x), 0, 1, starts = 0.5)
  expect_error(b$update(1), "lies outside the support")
  expect_length(b$sample(3), 3)
})

test_that("arguments after logpdf go to it by name; the old positional calls still work", {
  set.seed(42)
  x <- rlogconcave(1e4, dnorm, mean = 3, sd = 2, log = TRUE)
  expect_gte(ks_p(x, pnorm, 3, 2), 1e-6)
  expect_length(rlogconcave(3, dnorm, log = TRUE), 3)
  s <- logconcave_sampler(dgamma, shape = 2.5, log = TRUE, lower = 0)
  expect_gte(ks_p(s$sample(1e4), pgamma, 2.5), 1e-6)
  expect_identical(s$.support, c(0, Inf))
  expect_gte(ks_p(rtconcave(1e4, dt, df = 3, log = TRUE), pt, 3), 1e-6)
  # Positional: lower, upper, starts (and c, splits for rtconcave) as before.
  y <- rlogconcave(1e3, normal, -1, 1, 0.5)
  expect_true(all(y > -1 & y < 1))
  expect_error(rlogconcave(1, normal, 0, 1, 2), "starting abscissa 2 lies outside")
  expect_identical(tconcave_sampler(dnorm, 0, Inf, 0, log = TRUE)$c, 0)
  # The place after params is check's: one more is too many.
  expect_error(rlogconcave(1, normal, 0, 1, 0.5, NULL, FALSE, 7), "an unnamed argument too many")
  expect_error(rlogconcave(1, log = TRUE), "logpdf is missing")
  expect_error(rlogconcave(1, normal, log = TRUE), "unused argument")
})

test_that("n may be a vector, as rnorm takes it", {
  expect_length(rlogconcave(c(5, 1, 1), normal), 3)
  expect_length(rtconcave(1:4, normal), 4)
  expect_length(logconcave_sampler(normal)$sample(c("a", "b")), 2)
  expect_error(rlogconcave(numeric(), normal), "n must be")
})

test_that("a sampler formats, prints, summarises and converts to a list", {
  s <- logconcave_sampler(normal, 0, Inf)
  s$sample(100)
  expect_match(format(s), "^<logconcave_sampler on \\[0, Inf\\]: [0-9]+ points, [0-9]+ evaluations")
  expect_output(print(s), "logconcave_sampler on")
  l <- as.list(s)
  expect_identical(l$support, c(0, Inf))
  expect_true(l$squeeze_area <= sqrt(pi / 2) && sqrt(pi / 2) <= l$hat_area)
  expect_equal(length(l$envelope$x), l$points)
  expect_output(print(summary(s)), "98% of the hat's mass lies in \\[0")
  t <- tconcave_sampler(function(x) -log1p(x^2))
  t$sample(1000)
  expect_match(format(t), "T = -1/sqrt\\(f\\), 0 splits")
  expect_identical(as.list(t)$transform, "-1/sqrt(f)")
  expect_output(print(summary(t)), "98% of the mass")
})

test_that("the default plot of a heavy tail shows its body, not its farthest probes", {
  t <- tconcave_sampler(function(x) -log1p(x^2))
  set.seed(43)
  t$sample(1e4)
  expect_gt(max(abs(t$points$x)), 500)
  pdf(NULL)
  on.exit(dev.off())
  plot(t)
  usr <- par("usr")
  # 98% of a Cauchy lies within +-31.8.
  expect_true(usr[1] < -20 && usr[1] > -100 && usr[2] > 20 && usr[2] < 100)
  s <- logconcave_sampler(normal)
  s$sample(1e3)
  plot(s)
  usr <- par("usr")
  expect_true(usr[1] < -2 && usr[1] > -6 && usr[2] > 2 && usr[2] < 6)
})
