# n draws from a density whose transformation T_c(f) is concave (or, with
# splits, concave or convex piece by piece); checks are made in compiled
# code. Arguments are matched as rlogconcave's (defaults: -Inf, Inf, -0.5,
# NULL, NULL, NULL, FALSE, NULL).
rtconcave <- function(n, ..., logpdf, lower, upper, c, splits, starts, params, check, scan)
  .External(C_ars_rtconcave, n, environment())

# The same with the envelope kept, as logconcave_sampler.
tconcave_sampler <- function(..., logpdf, lower, upper, c, splits, starts, params, check, scan) {
  # The formal c hides base::c here.
  handle <- .External(C_ars_tsampler_new, environment())
  s <- new.env(parent = emptyenv())
  s$sample <- function(n = 1) .Call(C_ars_tsampler_sample, handle, n)
  s$update <- function(start, params = NULL) .Call(C_ars_tsampler_update, handle, start, params)
  s$check <- function(n = 8) {
    .Call(C_ars_tsampler_check, handle, n)
    invisible(s)
  }
  state <- function(field) {
    force(field)
    function() .Call(C_ars_tsampler_state, handle)[[field]]
  }
  for (field in base::c("hat_area", "squeeze_area", "log_hat_area", "log_squeeze_area", "evaluations"))
    makeActiveBinding(field, state(field), s)
  makeActiveBinding("points", function() {
    p <- .Call(C_ars_tsampler_points, handle)
    data.frame(x = p$x, logpdf = p$logpdf)
  }, s)
  st <- .Call(C_ars_tsampler_state, handle)
  s$c <- st[["c"]]
  # Found split points (splits = "auto") move with the updates.
  makeActiveBinding("splits", function() .Call(C_ars_tsampler_points, handle)$splits, s)
  s$.handle <- handle
  s$.support <- base::c(st[["lower"]], st[["upper"]])
  lockEnvironment(s, bindings = TRUE)
  class(s) <- "tconcave_sampler"
  s
}

transform_name <- function(c) if (c == 0) "log f" else "-1/sqrt(f)"

tsampler_fields <- function(x) {
  st <- .Call(C_ars_tsampler_state, x$.handle)
  list(support = x$.support, c = x$c, transform = transform_name(x$c), splits = x$splits,
       points = as.integer(st[["points"]]), evaluations = as.integer(st[["evaluations"]]),
       hat_area = st[["hat_area"]], squeeze_area = st[["squeeze_area"]],
       log_hat_area = st[["log_hat_area"]], log_squeeze_area = st[["log_squeeze_area"]])
}

format.tconcave_sampler <- function(x, ...) {
  f <- tsampler_fields(x)
  sprintf("<tconcave_sampler on [%s, %s], T = %s, %d split%s: %d points, %d evaluations, squeeze/hat area %.6g>",
          format(f$support[1]), format(f$support[2]), f$transform, length(f$splits),
          if (length(f$splits) == 1) "" else "s", f$points, f$evaluations,
          exp(f$log_squeeze_area - f$log_hat_area))
}

print.tconcave_sampler <- function(x, ...) {
  cat(format(x), "\n", sep = "")
  invisible(x)
}

as.list.tconcave_sampler <- function(x, ...) {
  p <- .Call(C_ars_tsampler_points, x$.handle)
  c(tsampler_fields(x), list(x = p$x, logpdf = p$logpdf))
}

summary.tconcave_sampler <- function(object, ...) {
  p <- .Call(C_ars_tsampler_points, object$.handle)
  structure(c(tsampler_fields(object), list(body = central_range(p$x, p$logpdf, object$c))),
            class = "summary.tconcave_sampler")
}

print.summary.tconcave_sampler <- function(x, ...) {
  cat("A T-concave sampler on [", format(x$support[1]), ", ", format(x$support[2]), "], T = ",
      x$transform, "\n", sep = "")
  if (length(x$splits)) cat("  split at", format(x$splits), "\n")
  cat(sprintf("  %d points after %d evaluations of logpdf\n", x$points, x$evaluations))
  cat(sprintf("  log hat area %.6g >= log integral of exp(logpdf) >= log squeeze area %.6g (ratio %.6g)\n",
              x$log_hat_area, x$log_squeeze_area, exp(x$log_squeeze_area - x$log_hat_area)))
  if (!is.null(x$body))
    cat(sprintf("  98%% of the mass under the chords lies in [%.6g, %.6g]\n", x$body[1], x$body[2]))
  invisible(x)
}

# The density in the transformed scale T(f / max f), with the evaluated
# points, the chords between neighbours (the squeeze on a concave piece, the
# hat on a convex one) and the split points as dashed verticals. By default
# the central 98% of the mass under the chords, so that the far probes of a
# heavy tail do not squeeze its body into a line.
plot.tconcave_sampler <- function(x, n = 301, xlim = NULL, ...) {
  p <- .Call(C_ars_tsampler_points, x$.handle)
  if (is.null(xlim)) xlim <- default_xlim(central_range(p$x, p$logpdf, x$c), p$x, x$.support)
  grid <- seq(xlim[1], xlim[2], length.out = n)
  inside <- grid >= x$.support[1] & grid <= x$.support[2]
  curve <- rep(NA_real_, n)
  curve[inside] <- .Call(C_ars_tsampler_logpdf, x$.handle, grid[inside])
  top <- max(curve[is.finite(curve)], p$logpdf[is.finite(p$logpdf)])
  tf <- if (x$c == 0) function(h) h - top else function(h) -exp(-(h - top) / 2)
  ty <- tf(curve)
  py <- tf(p$logpdf)
  shown <- p$x >= xlim[1] & p$x <= xlim[2]
  finite <- c(ty[is.finite(ty)], py[shown & is.finite(py)])
  plot(grid, ty, type = "l", xlim = xlim, ylim = range(finite), xlab = "x",
       ylab = transform_name(x$c), ...)
  lines(p$x, py, col = "steelblue")
  points(p$x, py, pch = 19, cex = 0.6)
  if (length(x$splits)) abline(v = x$splits, lty = 2, col = "grey40")
  legend("bottom", legend = c("T(f)", "chords"), col = c("black", "steelblue"), lty = 1,
         bty = "n", horiz = TRUE)
  invisible(x)
}
