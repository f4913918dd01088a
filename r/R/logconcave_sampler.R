# A sampler that keeps its envelope between calls: an environment whose
# fields are read through active bindings, so that s$hat_area is always the
# current value. Its arguments are matched as rlogconcave's.
logconcave_sampler <- function(..., logpdf, lower, upper, starts, params, check) {
  handle <- .External(C_ars_sampler_new, environment())
  s <- new.env(parent = emptyenv())
  s$sample <- function(n = 1) .Call(C_ars_sampler_sample, handle, n)
  s$update <- function(start, params = NULL) .Call(C_ars_sampler_update, handle, start, params)
  s$check <- function(n = 8) {
    .Call(C_ars_sampler_check, handle, n)
    invisible(s)
  }
  state <- function(field) {
    force(field)
    function() .Call(C_ars_sampler_state, handle)[[field]]
  }
  for (field in c("hat_area", "squeeze_area", "evaluations")) makeActiveBinding(field, state(field), s)
  makeActiveBinding("points", function() {
    e <- .Call(C_ars_sampler_envelope, handle)
    data.frame(x = e$x, logpdf = e$logpdf)
  }, s)
  s$.handle <- handle
  st <- .Call(C_ars_sampler_state, handle)
  s$.support <- c(st[["lower"]], st[["upper"]])
  lockEnvironment(s, bindings = TRUE)
  class(s) <- "logconcave_sampler"
  s
}

# The sampler's state as a plain list (what summary and as.list show).
sampler_fields <- function(x) {
  st <- .Call(C_ars_sampler_state, x$.handle)
  list(support = x$.support, points = as.integer(st[["points"]]),
       evaluations = as.integer(st[["evaluations"]]), hat_area = st[["hat_area"]],
       squeeze_area = st[["squeeze_area"]])
}

format.logconcave_sampler <- function(x, ...) {
  f <- sampler_fields(x)
  sprintf("<logconcave_sampler on [%s, %s]: %d points, %d evaluations, squeeze/hat area %.6g>",
          format(f$support[1]), format(f$support[2]), f$points, f$evaluations,
          f$squeeze_area / f$hat_area)
}

print.logconcave_sampler <- function(x, ...) {
  cat(format(x), "\n", sep = "")
  invisible(x)
}

as.list.logconcave_sampler <- function(x, ...) {
  c(sampler_fields(x), list(envelope = .Call(C_ars_sampler_envelope, x$.handle)))
}

summary.logconcave_sampler <- function(object, ...) {
  e <- .Call(C_ars_sampler_envelope, object$.handle)
  structure(c(sampler_fields(object), list(body = hull_body(e))),
            class = "summary.logconcave_sampler")
}

print.summary.logconcave_sampler <- function(x, ...) {
  cat("A log-concave sampler on [", format(x$support[1]), ", ", format(x$support[2]), "]\n", sep = "")
  cat(sprintf("  %d points of the envelope after %d evaluations of logpdf\n", x$points, x$evaluations))
  cat(sprintf("  hat area %.6g >= integral of exp(logpdf) >= squeeze area %.6g (ratio %.6g)\n",
              x$hat_area, x$squeeze_area, x$squeeze_area / x$hat_area))
  if (!is.null(x$body)) cat(sprintf("  98%% of the hat's mass lies in [%.6g, %.6g]\n", x$body[1], x$body[2]))
  invisible(x)
}

# The central 98% of the hat's mass: its hull is linear in log f, with
# unbounded tails along the chord of the two outermost points.
hull_body <- function(e) {
  m <- length(e$x)
  if (m < 2) return(NULL)
  slopes <- c(if (is.infinite(e$hull_x[1])) (e$logpdf[2] - e$logpdf[1]) / (e$x[2] - e$x[1]) else NA,
              if (is.infinite(e$hull_x[length(e$hull_x)]))
                (e$logpdf[m] - e$logpdf[m - 1]) / (e$x[m] - e$x[m - 1]) else NA)
  central_range(e$hull_x, e$hull_y, c = 0, slopes = slopes)
}

# The log-density, the upper hull and the squeeze on a log scale, where the
# hull and the squeeze are piecewise linear. An unbounded tail of the hull is
# drawn on to the edge of the plot along its last finite piece's line.
plot.logconcave_sampler <- function(x, n = 301, xlim = NULL, ...) {
  e <- .Call(C_ars_sampler_envelope, x$.handle)
  if (is.null(xlim)) xlim <- default_xlim(hull_body(e), e$x, x$.support)
  grid <- seq(xlim[1], xlim[2], length.out = n)
  # Outside the support the density is zero: logpdf need not be defined there.
  inside <- grid >= x$.support[1] & grid <= x$.support[2]
  curve <- rep(NA_real_, n)
  curve[inside] <- .Call(C_ars_sampler_logpdf, x$.handle, grid[inside])
  hull <- clip_tails(e$hull_x, e$hull_y, xlim, e$x, e$logpdf)
  shown <- e$x >= xlim[1] & e$x <= xlim[2]
  near <- hull$x >= xlim[1] & hull$x <= xlim[2]
  finite <- c(curve[is.finite(curve)], e$logpdf[shown & is.finite(e$logpdf)], hull$y[near])
  ylim <- range(finite)
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
