# The range holding the central `mass` of a density known on knots x through
# its transformation t (log f when c = 0, -1/sqrt(f) when c = -0.5, both up
# to a constant), linear between the knots: the hull of a log-concave
# sampler, or the chords through a T-concave sampler's points. `slopes` are
# those of exponential tails beyond the first and last knot (log scale only;
# NA: none). A plot over this range shows the body of a heavy-tailed density
# rather than its farthest probes.
central_range <- function(x, t, c, mass = 0.98, slopes = c(NA, NA)) {
  keep <- is.finite(x) & is.finite(t)
  x <- x[keep]
  t <- t[keep] - max(t[keep])
  if (c != 0) t <- -exp(-t / 2)
  k <- length(x)
  if (k < 2) return(NULL)
  # The mass from x[i] to x[i] + d under the piece from x[i] to x[i + 1].
  cum <- function(i, d) {
    if (x[i + 1] == x[i]) return(0)  # a step of a discontinuous hull
    b <- (t[i + 1] - t[i]) / (x[i + 1] - x[i])
    if (c != 0) return(d / (t[i] * (t[i] + b * d)))
    if (b == 0) exp(t[i]) * d else exp(t[i]) * expm1(b * d) / b
  }
  pieces <- vapply(seq_len(k - 1), function(i) cum(i, x[i + 1] - x[i]), 0)
  left <- if (c == 0 && isTRUE(slopes[1] > 0)) exp(t[1]) / slopes[1] else 0
  right <- if (c == 0 && isTRUE(slopes[2] < 0)) -exp(t[k]) / slopes[2] else 0
  before <- c(left, left + cumsum(pieces))
  total <- before[k] + right
  if (!is.finite(total) || total <= 0) return(NULL)
  quantile_at <- function(p) {
    target <- p * total
    if (target < left) return(x[1] + (log(target * slopes[1]) - t[1]) / slopes[1])
    if (target >= before[k]) {
      if (right == 0) return(x[k])
      return(x[k] + log1p((target - before[k]) * slopes[2] / exp(t[k])) / slopes[2])
    }
    i <- max(which(before[seq_len(k - 1)] <= target))
    need <- target - before[i]
    d <- uniroot(function(d) cum(i, d) - need, c(0, x[i + 1] - x[i]), tol = 1e-9 * (x[i + 1] - x[i]))$root
    x[i] + d
  }
  tail <- (1 - mass) / 2
  c(quantile_at(tail), quantile_at(1 - tail))
}

# The default xlim of a sampler's plot: the central 98% of the mass, and a
# margin, within the support; the evaluated points when that fails.
default_xlim <- function(range, points, support) {
  if (is.null(range) || !all(is.finite(range)) || range[2] <= range[1]) range <- range(points[is.finite(points)])
  span <- diff(range)
  if (span == 0) span <- 1
  xlim <- range + c(-0.15, 0.15) * span
  c(max(xlim[1], support[1]), min(xlim[2], support[2]))
}
