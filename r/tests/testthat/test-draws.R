ks_p <- function(x, cdf, ...) ks.test(x, cdf, ...)$p.value

test_that("draws follow the density: normal, gamma, beta, a far tail", {
  set.seed(20)
  n <- 1e5
  expect_gte(ks_p(rlogconcave(n, function(x) -x^2 / 2), pnorm), 1e-6)
  expect_gte(ks_p(rlogconcave(n, function(x) 1.5 * log(x) - x, lower = 0), pgamma, shape = 2.5), 1e-6)
  expect_gte(ks_p(rlogconcave(n, function(x) log(x) + 2 * log1p(-x), 0, 1), pbeta, 2, 3), 1e-6)
  # A normal truncated to [8, Inf): all its mass is in the hull's tail.
  tail <- rlogconcave(n, function(x) -x^2 / 2, lower = 8)
  expect_gte(min(tail), 8)
  log_survival <- function(q) pnorm(q, lower.tail = FALSE, log.p = TRUE)
  expect_gte(ks_p(tail, function(q) -expm1(log_survival(q) - log_survival(8))), 1e-6)
})

test_that("draws follow a logistic-regression coefficient's conditional", {
  set.seed(21)
  x <- rnorm(60)
  y <- rbinom(60, 1, plogis(0.5 + 1.5 * x))
  # Slope b given the intercept 0.5, under a N(0, 10^2) prior.
  logpdf <- function(b) {
    eta <- 0.5 + outer(b, x)
    rowSums(sweep(eta, 2, y, `*`) - pmax(eta, 0) - log1p(exp(-abs(eta)))) - b^2 / 200
  }
  draws <- rlogconcave(1e5, logpdf)
  mode <- optimize(logpdf, c(-10, 10), maximum = TRUE)
  density <- function(b) exp(logpdf(b) - mode$objective)
  grid <- seq(mode$maximum - 6, mode$maximum + 6, length.out = 1201)
  pieces <- mapply(function(a, b) integrate(density, a, b, rel.tol = 1e-10)$value,
                   grid[-length(grid)], grid[-1])
  cdf_at <- c(0, cumsum(pieces))
  outside <- integrate(density, -Inf, grid[1])$value + integrate(density, grid[length(grid)], Inf)$value
  expect_lt(outside / cdf_at[length(cdf_at)], 1e-6)
  cdf <- approxfun(grid, cdf_at / cdf_at[length(cdf_at)], yleft = 0, yright = 1)
  expect_gte(ks_p(draws, cdf), 1e-6)
})

test_that("set.seed repeats draws exactly and RNGkind is honoured", {
  f <- function(x) 1.5 * log(x) - x
  set.seed(7)
  a <- rlogconcave(1000, f, lower = 0)
  set.seed(7)
  expect_identical(rlogconcave(1000, f, lower = 0), a)
  # A kept sampler starts where rlogconcave's reused one does.
  set.seed(7)
  s <- logconcave_sampler(f, lower = 0)
  expect_identical(c(s$sample(400), s$sample(600)), a)

  old <- RNGkind()
  on.exit(RNGkind(old[1], old[2], old[3]))
  RNGkind("L'Ecuyer-CMRG")
  set.seed(7)
  b <- rlogconcave(1000, f, lower = 0)
  expect_false(identical(a, b))
  set.seed(7)
  expect_identical(rlogconcave(1000, f, lower = 0), b)
})

test_that("draws have more resolution than one runif: no repeated values", {
  set.seed(8)
  # One unif_rand per uniform (32 bits) would repeat some 30 values here.
  expect_equal(anyDuplicated(rlogconcave(5e5, function(x) -x^2 / 2)), 0)
})

test_that("a Gibbs sampler of a bivariate normal has the right variance and autocorrelation", {
  rho <- 0.5
  n <- 20000
  conditional <- function(other) function(v) -(v - rho * other)^2 / (2 * (1 - rho^2))
  fresh <- function() {
    x <- numeric(n)
    xi <- yi <- 0
    for (i in seq_len(n)) {
      xi <- rlogconcave(1, conditional(yi), starts = xi)
      yi <- rlogconcave(1, conditional(xi), starts = yi)
      x[i] <- xi
    }
    x
  }
  # Samplers updated on the warm path; their logpdf reads the other coordinate.
  warm <- function() {
    x <- numeric(n)
    xi <- yi <- 0
    sx <- logconcave_sampler(function(v) -(v - rho * yi)^2 / (2 * (1 - rho^2)), starts = xi)
    sy <- logconcave_sampler(function(v) -(v - rho * xi)^2 / (2 * (1 - rho^2)), starts = yi)
    for (i in seq_len(n)) {
      xi <- sx$update(xi)
      yi <- sy$update(yi)
      x[i] <- xi
    }
    x
  }
  set.seed(22)
  chains <- list(fresh = fresh(), warm = warm())
  # The x chain is AR(1) with coefficient rho^2; both estimates have a
  # standard error near 0.01.
  for (x in chains) {
    expect_lt(abs(var(x) - 1), 0.05)
    expect_lt(abs(acf(x, lag.max = 1, plot = FALSE)$acf[2] - rho^2), 0.04)
  }
  # A chain run with new samplers repeats from its seed.
  set.seed(23)
  first <- warm()
  set.seed(23)
  expect_identical(warm(), first)
})

test_that("a sampler on a bounded support plots without evaluating logpdf outside it", {
  s <- logconcave_sampler(function(x) if (x < 0 || x > 1) stop("outside") else log(x) + 2 * log1p(-x), 0, 1)
  s$sample(100)
  pdf(NULL)
  on.exit(dev.off())
  expect_silent(plot(s))
  expect_silent(plot(s, xlim = c(-1, 2)))
})
