"""The opt-in check for a proof that a density is not T-concave.

It evaluates the log-density at n abscissae placed at the quantiles
(i + 1/2)/n of the hat, where a wrong hat would draw wrong numbers, and looks
at all evaluated points together under the sampler's transformation T (log,
c = 0, or -1/sqrt(f), c = -0.5): three of them with the middle one below the
chord of the other two (beyond rounding), or -inf between two finite values,
prove T(f) not concave. Between split points a piece may be concave or
convex, not both, and one reaching an infinite end must be concave. A density
outside the class can still pass: the check sees only the points it evaluates.
"""
import bisect
import itertools
import math

import numpy as np

# Relative slack for rounding in the log-density's values: h(b) may lie this
# much (times the largest |h| of the three) below the chord.
ROUNDING = 1e-9


class _Tail:
    """The hat beyond the outermost point towards an infinite end: the secant
    of T(f) through the two outermost points, continued. Its mass (relative
    to exp(top)) and the distance from the point at which a share q of that
    mass lies nearer."""

    def __init__(self, c, rate, y, top):
        # rate: how fast log f (c = 0) or -1/sqrt(f) (c = -0.5) falls outwards.
        self.c, self.rate = c, rate
        self.t0 = y - top if c == 0 else -math.exp(-(y - top) / 2)

    def mass(self):
        if not self.rate > 0:
            return 0.0  # a tail that does not fall: the sampler reports it
        if self.c == 0:
            return math.exp(self.t0) / self.rate
        return 1.0 / (self.rate * -self.t0)

    def distance(self, q):
        if self.c == 0:
            return -math.log1p(-q) / self.rate
        return -self.t0 * q / ((1.0 - q) * self.rate)


def _t(c, h, top):
    return h - top if c == 0 else -np.exp(-(np.asarray(h) - top) / 2)


def _segment_masses(hx, hy, top, left, right):
    """Hat mass of each hull segment, relative to exp(top), as a list."""
    a, b = hx[:-1], hx[1:]
    ya, yb = hy[:-1] - top, hy[1:] - top
    with np.errstate(all="ignore"):  # tails and -inf ends are set below
        rise = yb - ya
        flat = np.abs(rise) < 1e-300
        masses = (b - a) * np.where(flat, np.exp(ya), (np.exp(yb) - np.exp(ya)) / np.where(flat, 1.0, rise))
    masses[np.isnan(masses)] = 0.0  # from -inf to -inf
    if math.isinf(hx[0]):
        masses[0] = left.mass()
    if math.isinf(hx[-1]):
        masses[-1] = right.mass()
    return masses.tolist()


def _inside(hx, hy, i, u, left, right):
    """The abscissa at conditional quantile u of hull segment i."""
    a, b, ya, yb = hx[i], hx[i + 1], hy[i], hy[i + 1]
    if math.isinf(a):
        return b - left.distance(1.0 - u)
    if math.isinf(b):
        return a + right.distance(u)
    k = (yb - ya) / (b - a)
    if abs(k * (b - a)) < 1e-12:
        return a + u * (b - a)
    return a + math.log1p(u * math.expm1(k * (b - a))) / k


def hat_quantiles(hull, points, n, c=0.0):
    """n abscissae at the quantiles (i + 1/2)/n of the hat."""
    # Plain floats: a check is a few dozen scalar steps, which numpy slows down.
    hx, hy = (np.asarray(v, dtype=float) for v in hull)
    x, h = (np.asarray(v, dtype=float) for v in points)
    top = float(np.max(hy[np.isfinite(hy)]))
    t = _t(c, h, top).tolist()
    x, h = x.tolist(), h.tolist()
    # The tails continue the secants through the two outermost points.
    left_rate = (t[1] - t[0]) / (x[1] - x[0]) if len(x) > 1 else math.inf
    right_rate = (t[-2] - t[-1]) / (x[-1] - x[-2]) if len(x) > 1 else math.inf
    left, right = _Tail(c, left_rate, h[0], top), _Tail(c, right_rate, h[-1], top)
    masses = _segment_masses(hx, hy, top, left, right)
    hx, hy = hx.tolist(), hy.tolist()
    cumulative = [0.0] + list(itertools.accumulate(masses))
    out = []
    for k in range(n):
        p = (k + 0.5) / n * cumulative[-1]
        i = min(bisect.bisect_right(cumulative, p) - 1, len(masses) - 1)
        u = (p - cumulative[i]) / masses[i] if masses[i] > 0 else 0.5
        out.append(_inside(hx, hy, i, min(max(u, 0.0), 1.0), left, right))
    return np.asarray(out)


_NAMES = {0.0: "log f", -0.5: "-1/sqrt(f)"}


def _shapes(x, h, t, c):
    """(index of the first three points whose middle lies below their chord,
    of the first three whose middle lies above), beyond rounding; None if none."""
    below = above = None
    for a in range(len(x) - 2):
        b, e = a + 1, a + 2
        chord = t[a] + (t[e] - t[a]) * ((x[b] - x[a]) / (x[e] - x[a]))
        slack = ROUNDING * max(1.0, abs(h[a]), abs(h[b]), abs(h[e]))
        if c != 0:  # an error d in h moves -1/sqrt(f) by |T| d / 2
            slack *= max(abs(t[a]), abs(t[b]), abs(t[e]))
        if below is None and t[b] < chord - slack:
            below = a
        if above is None and t[b] > chord + slack:
            above = a
    return below, above


def _points(x, h, a):
    return ", ".join("(%r, %r)" % (x[i], h[i]) for i in (a, a + 1, a + 2))


def violation(x, h, c=0.0, splits=(), domain=(-math.inf, math.inf)):
    """A message naming points that prove T(f) not concave (per piece), or None."""
    pairs = sorted(zip(np.asarray(x, dtype=float).tolist(), np.asarray(h, dtype=float).tolist()),
                   key=lambda p: p[0])
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
    top = max(h)
    t = h if c == 0 else [-math.exp(-(v - top) / 2) for v in h]
    ends = [domain[0]] + list(splits) + [domain[1]]
    name = "not concave" if c == 0 else "not T-concave under T = %s" % _NAMES[c]
    for lo, hi in zip(ends, ends[1:]):
        inside = [i for i, v in enumerate(x) if lo <= v <= hi]
        px, ph, pt = [x[i] for i in inside], [h[i] for i in inside], [t[i] for i in inside]
        below, above = _shapes(px, ph, pt, c)
        if below is None:
            continue
        where = "" if not splits else " on the piece [%r, %r]" % (lo, hi)
        if not splits:
            return ("logpdf is %s: at %r it is %r, below the chord between its neighbours; "
                    "points (x, logpdf) %s" % (name, px[below + 1], ph[below + 1],
                                               _points(px, ph, below)))
        if above is not None:
            return ("logpdf is %s%s: it is neither concave nor convex there; points (x, logpdf) "
                    "%s and %s" % (name, where, _points(px, ph, below), _points(px, ph, above)))
        if math.isinf(lo) or math.isinf(hi):
            return ("logpdf is %s%s: it is convex there, and a convex piece cannot reach an "
                    "infinite end; points (x, logpdf) %s" % (name, where, _points(px, ph, below)))
    return None


def check(core, n, c=0.0, splits=(), domain=(-math.inf, math.inf)):
    """Spends n evaluations of the sampler's log-density looking for a proof;
    returns the message of the first found, or None."""
    points = core.points
    if len(points[0]) < 2 or n <= 0:
        return None
    xs = hat_quantiles(core.hull, points, n, c)
    values = core.evaluate(xs).tolist()
    for x, v in zip(xs.tolist(), values):
        if v != v or v == math.inf:
            raise ValueError("logpdf is %r at x = %r" % (abs(v) if v != v else v, x))
    return violation(points[0].tolist() + xs.tolist(), points[1].tolist() + values, c, splits, domain)
