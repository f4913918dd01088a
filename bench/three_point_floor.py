#!/usr/bin/env python3
"""The least an exact derivative-free update of a N(0, 1) conditional costs.

A secant hull bounds a concave h only once three points are known (between
two, h may rise without bound), so every update evaluates h three times
before its first draw. This models the draw from three given points as the
engine makes it (hull of secants, squeeze of chords, a rejected candidate
joins the points) and estimates the evaluations the draw costs, for
placements around the mode: the best is the least any update can cost.

    python3 bench/three_point_floor.py [draws per placement]
"""
import itertools
import math
import sys

import numpy as np


def h(x):
    return -0.5 * x * x


def line(xs, hs, i, j):
    b = (hs[j] - hs[i]) / (xs[j] - xs[i])
    return hs[i] - b * xs[i], b


def hull(xs, hs):
    """Pieces (left, right, a, b) of the hull a + b x."""
    k = len(xs)
    pieces = [(-math.inf, xs[0]) + line(xs, hs, 0, 1)]
    for i in range(k - 1):
        lines = []
        if i >= 1:
            lines.append(line(xs, hs, i - 1, i))
        if i + 2 < k:
            lines.append(line(xs, hs, i + 1, i + 2))
        lo, hi = xs[i], xs[i + 1]
        if len(lines) == 1:
            pieces.append((lo, hi) + lines[0])
            continue
        (a1, b1), (a2, b2) = lines
        cross = (a2 - a1) / (b1 - b2) if b1 != b2 else lo
        first, second = (lines[0], lines[1]) if a1 + b1 * lo <= a2 + b2 * lo else (lines[1], lines[0])
        if lo < cross < hi:
            pieces += [(lo, cross) + first, (cross, hi) + second]
        else:
            pieces.append((lo, hi) + first)
    pieces.append((xs[-1], math.inf) + line(xs, hs, k - 2, k - 1))
    return pieces


def area(lo, hi, a, b):
    f = lambda x: 0.0 if math.isinf(x) else math.exp(a + b * x) / b
    return f(hi) - f(lo)


def draw(lo, hi, b, u):
    if math.isinf(lo):
        return hi + math.log(u) / b
    if math.isinf(hi):
        return lo + math.log(u) / b
    return lo + math.log1p(u * math.expm1(b * (hi - lo))) / b


def draw_cost(points, rng):
    xs = sorted(points)
    hs = [h(x) for x in xs]
    evaluations = 0
    while True:
        pieces = hull(xs, hs)
        areas = np.array([area(*p) for p in pieces])
        lo, hi, a, b = pieces[rng.choice(len(pieces), p=areas / areas.sum())]
        x = draw(lo, hi, b, rng.random())
        log_u = math.log(rng.random())
        top = a + b * x
        j = int(np.searchsorted(xs, x))
        if 0 < j < len(xs):
            chord = hs[j - 1] + (hs[j] - hs[j - 1]) / (xs[j] - xs[j - 1]) * (x - xs[j - 1])
            if log_u <= chord - top:
                return evaluations
        evaluations += 1
        hx = h(x)
        if log_u <= hx - top:
            return evaluations
        xs.insert(j, x)
        hs.insert(j, hx)


def main():
    n = int(sys.argv[1]) if len(sys.argv) > 1 else 20000
    rng = np.random.default_rng(1)
    results = []
    for below, middle, above in itertools.product([0.9, 1.1, 1.3, 1.5], [-0.2, 0.0, 0.2], [0.9, 1.1, 1.3, 1.5]):
        cost = np.mean([draw_cost([-below, middle, above], rng) for _ in range(n)])
        results.append((cost, below, middle, above))
    results.sort()
    for cost, below, middle, above in results[:5]:
        print(f"points {-below:+.1f} {middle:+.1f} {above:+.1f}: draw {cost:.3f}, update {3 + cost:.3f}")
    print(f"standard error of each about {1.0 / math.sqrt(n):.3f}")


if __name__ == "__main__":
    main()
