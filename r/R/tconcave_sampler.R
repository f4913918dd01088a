# n draws from a density whose transformation T_c(f) is concave (or, with
# splits, concave or convex piece by piece); checks are made in compiled code.
rtconcave <- function(n, logpdf, lower = -Inf, upper = Inf, c = -0.5, splits = NULL,
                      starts = NULL, params = NULL)
  .Call(C_ars_rtconcave, n, logpdf, lower, upper, c, splits, starts, params)

# The same with the envelope kept, as logconcave_sampler.
tconcave_sampler <- function(logpdf, lower = -Inf, upper = Inf, c = -0.5, splits = NULL,
                             starts = NULL, params = NULL) {
  handle <- .Call(C_ars_tsampler_new, logpdf, lower, upper, c, splits, starts, params)
  s <- new.env(parent = emptyenv())
  s$sample <- function(n = 1) .Call(C_ars_tsampler_sample, handle, n)
  state <- function(field) {
    force(field)
    function() .Call(C_ars_tsampler_state, handle)[[field]]
  }
  for (field in c("hat_area", "squeeze_area", "log_hat_area", "log_squeeze_area", "evaluations"))
    makeActiveBinding(field, state(field), s)
  makeActiveBinding("points", function() {
    p <- .Call(C_ars_tsampler_points, handle)
    data.frame(x = p$x, logpdf = p$logpdf)
  }, s)
  s$c <- as.numeric(c)
  s$splits <- as.numeric(splits)
  s$.handle <- handle
  s$.support <- c(lower, upper)
  lockEnvironment(s, bindings = TRUE)
  class(s) <- "tconcave_sampler"
  s
}

print.tconcave_sampler <- function(x, ...) {
  st <- .Call(C_ars_tsampler_state, x$.handle)
  cat(sprintf("<tconcave_sampler, T = %s, %d split%s: %d points, %d evaluations, squeeze/hat area %.6g>\n",
              if (x$c == 0) "log f" else "-1/sqrt(f)", length(x$splits),
              if (length(x$splits) == 1) "" else "s",
              as.integer(st[["points"]]), as.integer(st[["evaluations"]]),
              exp(st[["log_squeeze_area"]] - st[["log_hat_area"]])))
  invisible(x)
}

# The density in the transformed scale T(f / max f), with the evaluated
# points, the chords between neighbours (the squeeze on a concave piece, the
# hat on a convex one) and the split points as dashed verticals.
plot.tconcave_sampler <- function(x, n = 301, xlim = NULL, ...) {
  p <- .Call(C_ars_tsampler_points, x$.handle)
  if (is.null(xlim)) {
    span <- diff(range(p$x))
    if (span == 0) span <- 1
    xlim <- range(p$x) + c(-0.25, 0.25) * span
    xlim <- c(max(xlim[1], x$.support[1]), min(xlim[2], x$.support[2]))
  }
  grid <- seq(xlim[1], xlim[2], length.out = n)
  inside <- grid >= x$.support[1] & grid <= x$.support[2]
  curve <- rep(NA_real_, n)
  curve[inside] <- .Call(C_ars_tsampler_logpdf, x$.handle, grid[inside])
  top <- max(curve[is.finite(curve)], p$logpdf[is.finite(p$logpdf)])
  tf <- if (x$c == 0) function(h) h - top else function(h) -exp(-(h - top) / 2)
  ty <- tf(curve)
  py <- tf(p$logpdf)
  finite <- c(ty[is.finite(ty)], py[is.finite(py)])
  plot(grid, ty, type = "l", xlim = xlim, ylim = range(finite), xlab = "x",
       ylab = if (x$c == 0) "log f" else "-1/sqrt(f)", ...)
  lines(p$x, py, col = "steelblue")
  points(p$x, py, pch = 19, cex = 0.6)
  if (length(x$splits)) abline(v = x$splits, lty = 2, col = "grey40")
  legend("bottom", legend = c("T(f)", "chords"), col = c("black", "steelblue"), lty = 1,
         bty = "n", horiz = TRUE)
  invisible(x)
}
