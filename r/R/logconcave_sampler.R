# A sampler that keeps its envelope between calls: an environment whose
# fields are read through active bindings, so that s$hat_area is always the
# current value.
logconcave_sampler <- function(logpdf, lower = -Inf, upper = Inf, starts = NULL, params = NULL) {
  handle <- .Call(C_ars_sampler_new, logpdf, lower, upper, starts, params)
  s <- new.env(parent = emptyenv())
  s$sample <- function(n = 1) .Call(C_ars_sampler_sample, handle, n)
  s$update <- function(start, params = NULL) .Call(C_ars_sampler_update, handle, start, params)
  state <- function(field) function() .Call(C_ars_sampler_state, handle)[[field]]
  makeActiveBinding("hat_area", state("hat_area"), s)
  makeActiveBinding("squeeze_area", state("squeeze_area"), s)
  makeActiveBinding("evaluations", state("evaluations"), s)
  makeActiveBinding("points", function() {
    e <- .Call(C_ars_sampler_envelope, handle)
    data.frame(x = e$x, logpdf = e$logpdf)
  }, s)
  s$.handle <- handle
  s$.support <- c(lower, upper)
  lockEnvironment(s, bindings = TRUE)
  class(s) <- "logconcave_sampler"
  s
}

print.logconcave_sampler <- function(x, ...) {
  st <- .Call(C_ars_sampler_state, x$.handle)
  cat(sprintf("<logconcave_sampler: %d points, %d evaluations, squeeze/hat area %.6g>\n",
              as.integer(st[["points"]]), as.integer(st[["evaluations"]]),
              st[["squeeze_area"]] / st[["hat_area"]]))
  invisible(x)
}

# The log-density, the upper hull and the squeeze on a log scale, where the
# hull and the squeeze are piecewise linear. An unbounded tail of the hull is
# drawn on to the edge of the plot along its last finite piece's line.
plot.logconcave_sampler <- function(x, n = 301, xlim = NULL, ...) {
  e <- .Call(C_ars_sampler_envelope, x$.handle)
  if (is.null(xlim)) {
    span <- diff(range(e$x))
    if (span == 0) span <- 1
    xlim <- range(e$x) + c(-0.25, 0.25) * span
    xlim <- c(max(xlim[1], x$.support[1]), min(xlim[2], x$.support[2]))
  }
  grid <- seq(xlim[1], xlim[2], length.out = n)
  # Outside the support the density is zero: logpdf need not be defined there.
  inside <- grid >= x$.support[1] & grid <= x$.support[2]
  curve <- rep(NA_real_, n)
  curve[inside] <- .Call(C_ars_sampler_logpdf, x$.handle, grid[inside])
  hull <- clip_tails(e$hull_x, e$hull_y, xlim, e$x, e$logpdf)
  finite <- c(curve[is.finite(curve)], e$logpdf[is.finite(e$logpdf)])
  ylim <- range(finite, hull$y[is.finite(hull$y)])
  plot(grid, curve, type = "l", xlim = xlim, ylim = ylim, xlab = "x", ylab = "log-density", ...)
  lines(hull$x, hull$y, col = "firebrick")
  lines(e$squeeze_x, e$squeeze_y, col = "steelblue")
  points(e$x, e$logpdf, pch = 19, cex = 0.6)
  legend("bottom", legend = c("log-density", "hull", "squeeze"),
         col = c("black", "firebrick", "steelblue"), lty = 1, bty = "n", horiz = TRUE)
  invisible(x)
}

# Vertices at -Inf or Inf replaced by the hull at the plot's edge: an
# unbounded tail runs along the chord of the two outermost points.
clip_tails <- function(hx, hy, xlim, px, ph) {
  k <- length(hx)
  m <- length(px)
  if (k >= 2 && m >= 2 && is.infinite(hx[1])) {
    slope <- (ph[2] - ph[1]) / (px[2] - px[1])
    if (is.finite(slope) && xlim[1] < hx[2]) {
      hx[1] <- xlim[1]
      hy[1] <- hy[2] + slope * (xlim[1] - hx[2])
    }
  }
  if (k >= 2 && m >= 2 && is.infinite(hx[k])) {
    slope <- (ph[m] - ph[m - 1]) / (px[m] - px[m - 1])
    if (is.finite(slope) && xlim[2] > hx[k - 1]) {
      hx[k] <- xlim[2]
      hy[k] <- hy[k - 1] + slope * (xlim[2] - hx[k - 1])
    }
  }
  keep <- is.finite(hx) & is.finite(hy)
  list(x = hx[keep], y = hy[keep])
}
