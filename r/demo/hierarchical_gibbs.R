## A Gibbs sampler of a hierarchical model whose random effects have no
## conjugate full conditional: counts y[i] over exposures t[i] in J groups,
##   y[i] ~ Poisson(t[i] * exp(theta[i])),  theta[i] ~ N(mu, tau^2),
##   mu ~ N(0, 10^2),  tau^2 ~ inverse gamma(2, 1).
## mu and tau^2 have conjugate conditionals; each theta[i] is drawn exactly
## from its log-concave conditional by rlogconcave, started from its current
## value.
library(adaptiverejection)
set.seed(42)

J <- 12
t <- round(runif(J, 5, 50))
true_theta <- rnorm(J, -1, 0.7)
y <- rpois(J, t * exp(true_theta))

iterations <- 3000
theta <- log((y + 0.5) / t)
mu <- mean(theta)
tau2 <- 1
keep <- matrix(NA_real_, iterations, J + 2, dimnames = list(NULL, c(paste0("theta", 1:J), "mu", "tau")))

for (k in seq_len(iterations)) {
  for (i in seq_len(J)) {
    # log p(theta_i | rest) up to a constant: Poisson likelihood and normal prior.
    logpdf <- function(th) y[i] * th - t[i] * exp(th) - (th - mu)^2 / (2 * tau2)
    theta[i] <- rlogconcave(1, logpdf, starts = theta[i])
  }
  precision <- J / tau2 + 1 / 100
  mu <- rnorm(1, sum(theta) / tau2 / precision, sqrt(1 / precision))
  tau2 <- 1 / rgamma(1, 2 + J / 2, 1 + sum((theta - mu)^2) / 2)
  keep[k, ] <- c(theta, mu, sqrt(tau2))
}

after_burn_in <- keep[-(1:500), ]
summary_table <- cbind(mean = colMeans(after_burn_in),
                       t(apply(after_burn_in, 2, quantile, c(0.025, 0.975))),
                       truth = c(true_theta, -1, 0.7))
print(round(summary_table, 3))

op <- par(mfrow = c(1, 2))
plot(after_burn_in[, "mu"], type = "l", xlab = "iteration", ylab = "mu", main = "Trace of mu")
plot(log((y + 0.5) / t), colMeans(after_burn_in[, 1:J]), xlab = "log(y / t), raw",
     ylab = "posterior mean of theta", main = "Shrinkage towards mu")
abline(0, 1, lty = 2)
par(op)
