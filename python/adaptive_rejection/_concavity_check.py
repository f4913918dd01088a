"""The opt-in check for a proof that a log-density is not concave.

It evaluates the log-density at n abscissae placed at the quantiles
(i + 1/2)/n of the hat, exp(hull), where a wrong hull would draw wrong
numbers, and looks at all evaluated points together: three of them with the
middle one below the chord of the other two (beyond rounding), or -inf between
two finite values, prove the density not log-concave. A density that is not
log-concave can still pass: the check sees only the points it evaluates.
"""
import math

import numpy as np

# Relative slack for rounding in the log-density's values: h(b) may lie this
# much (times the largest |h| of the three) below the chord.
ROUNDING = 1e-9


def _segment_masses(hx, hy, left_rate, right_rate):
    """Hat mass of each hull segment, relative to exp(max hull)."""
    top = np.max(hy[np.isfinite(hy)])
    masses = np.empty(len(hx) - 1)
    for i in range(len(hx) - 1):
        a, b, ya, yb = hx[i], hx[i + 1], hy[i] - top, hy[i + 1] - top
        if math.isinf(a):
            masses[i] = math.exp(yb) / left_rate
        elif math.isinf(b):
            masses[i] = math.exp(ya) / right_rate
        elif yb == ya:
            masses[i] = (b - a) * math.exp(ya)
        else:
            masses[i] = (b - a) * (math.exp(yb) - math.exp(ya)) / (yb - ya)
    return masses, top


def _inside(hx, hy, i, u, left_rate, right_rate):
    """The abscissa at conditional quantile u of hull segment i."""
    a, b, ya, yb = hx[i], hx[i + 1], hy[i], hy[i + 1]
    if math.isinf(a):
        return b + math.log(u) / left_rate
    if math.isinf(b):
        return a - math.log1p(-u) / right_rate
    k = (yb - ya) / (b - a)
    if abs(k * (b - a)) < 1e-12:
        return a + u * (b - a)
    return a + math.log1p(u * math.expm1(k * (b - a))) / k


def hat_quantiles(hull, points, n):
    """n abscissae at the quantiles (i + 1/2)/n of the hat."""
    hx, hy = (np.asarray(v, dtype=float) for v in hull)
    x, h = points
    # The tails continue the secants through the two outermost points.
    left_rate = (h[1] - h[0]) / (x[1] - x[0]) if len(x) > 1 else math.inf
    right_rate = (h[-2] - h[-1]) / (x[-1] - x[-2]) if len(x) > 1 else math.inf
    masses, _ = _segment_masses(hx, hy, left_rate, right_rate)
    cumulative = np.concatenate(([0.0], np.cumsum(masses)))
    out = []
    for p in (np.arange(n) + 0.5) / n * cumulative[-1]:
        i = min(int(np.searchsorted(cumulative, p, side="right")) - 1, len(masses) - 1)
        u = (p - cumulative[i]) / masses[i] if masses[i] > 0 else 0.5
        out.append(_inside(hx, hy, i, min(max(u, 0.0), 1.0), left_rate, right_rate))
    return np.asarray(out)


def violation(x, h):
    """A message naming points that prove h not concave, or None."""
    order = np.argsort(x, kind="stable")
    x, h = np.asarray(x, dtype=float)[order], np.asarray(h, dtype=float)[order]
    finite = np.flatnonzero(np.isfinite(h))
    if len(finite) and np.any(np.isneginf(h[finite[0]:finite[-1] + 1])):
        i = finite[0] + int(np.argmax(np.isneginf(h[finite[0]:finite[-1] + 1])))
        return ("logpdf is -inf at %r between finite values at %r and %r: the density's "
                "support is not an interval" % (x[i], x[finite[0]], x[finite[-1]]))
    x, h = x[finite], h[finite]
    keep = np.concatenate(([True], np.diff(x) > 0))  # the same abscissa twice
    x, h = x[keep], h[keep]
    for a in range(len(x) - 2):
        b, c = a + 1, a + 2
        chord = h[a] + (h[c] - h[a]) * ((x[b] - x[a]) / (x[c] - x[a]))
        slack = ROUNDING * max(1.0, abs(h[a]), abs(h[b]), abs(h[c]))
        if h[b] < chord - slack:
            return ("logpdf is not concave: at %r it is %r, below the chord %r between "
                    "(%r, %r) and (%r, %r)" % (x[b], h[b], chord, x[a], h[a], x[c], h[c]))
    return None


def check(core, n):
    """Spends n evaluations of the sampler's log-density looking for a proof;
    returns the message of the first found, or None."""
    points = core.points
    if len(points[0]) < 2 or n <= 0:
        return None
    xs = hat_quantiles(core.hull, points, n)
    values = core.evaluate(xs)
    if np.any(np.isnan(values) | (values == math.inf)):
        bad = int(np.argmax(np.isnan(values) | (values == math.inf)))
        raise ValueError("logpdf is %r at %r" % (float(values[bad]), float(xs[bad])))
    return violation(np.concatenate((points[0], xs)), np.concatenate((points[1], values)))
