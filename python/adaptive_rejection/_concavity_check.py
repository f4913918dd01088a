"""The opt-in check for a proof that a log-density is not concave.

It evaluates the log-density at n abscissae placed at the quantiles
(i + 1/2)/n of the hat, exp(hull), where a wrong hull would draw wrong
numbers, and looks at all evaluated points together: three of them with the
middle one below the chord of the other two (beyond rounding), or -inf between
two finite values, prove the density not log-concave. A density that is not
log-concave can still pass: the check sees only the points it evaluates.
(TConcaveSampler's check is the engine's.) Plain floats throughout: a check
is a few dozen scalar steps, which numpy would slow down.
"""
import bisect
import itertools
import math

import numpy as np

# Relative slack for rounding in the log-density's values: h(b) may lie this
# much (times the largest |h| of the three) below the chord.
ROUNDING = 1e-9


def _segment_masses(hx, hy, left_rate, right_rate):
    """Hat mass of each hull segment, relative to exp(max hull)."""
    top = max(y for y in hy if math.isfinite(y))
    masses = [0.0] * (len(hx) - 1)
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
    return masses


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
    hx, hy = (np.asarray(v, dtype=float).tolist() for v in hull)
    x, h = (np.asarray(v, dtype=float).tolist() for v in points)
    # The tails continue the secants through the two outermost points.
    left_rate = (h[1] - h[0]) / (x[1] - x[0]) if len(x) > 1 else math.inf
    right_rate = (h[-2] - h[-1]) / (x[-1] - x[-2]) if len(x) > 1 else math.inf
    masses = _segment_masses(hx, hy, left_rate, right_rate)
    cumulative = [0.0] + list(itertools.accumulate(masses))
    out = []
    for k in range(n):
        p = (k + 0.5) / n * cumulative[-1]
        i = min(bisect.bisect_right(cumulative, p) - 1, len(masses) - 1)
        u = (p - cumulative[i]) / masses[i] if masses[i] > 0 else 0.5
        out.append(_inside(hx, hy, i, min(max(u, 0.0), 1.0), left_rate, right_rate))
    return out


def violation(x, h):
    """A message naming points that prove h not concave, or None."""
    pairs = sorted(zip(x, h), key=lambda p: p[0])
    finite = [i for i, (_, v) in enumerate(pairs) if math.isfinite(v)]
    if not finite:
        return None
    for i in range(finite[0], finite[-1] + 1):
        if pairs[i][1] == -math.inf:
            return ("logpdf is -inf at %r between finite values at %r and %r: the density's "
                    "support is not an interval" % (pairs[i][0], pairs[finite[0]][0],
                                                     pairs[finite[-1]][0]))
    x, h = [], []
    for i in finite:
        if not x or pairs[i][0] > x[-1]:  # the same abscissa twice
            x.append(pairs[i][0])
            h.append(pairs[i][1])
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
    values = core.evaluate(xs).tolist()
    for x, v in zip(xs, values):
        if v != v or v == math.inf:
            raise ValueError("logpdf is %r at x = %r" % (v, x))
    return violation(points[0].tolist() + xs, points[1].tolist() + values)
