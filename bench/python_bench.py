#!/usr/bin/env python3
"""adaptive_rejection against scipy's TransformedDensityRejection, in one run.

Usage (after `make test`):
    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py

Prints, for N(0, 1) and Beta(2, 3) with a plain Python log-density:
  - rvs(10**6) time against TDR's rvs(10**6) (TDR needs pdf and dpdf);
  - construction + first draw against TDR's construction alone;
and, for N(0, 1) as a C function through ctypes, construction + first draw
in microseconds. Times are the best of several repeats; ratios below 1
mean adaptive_rejection is faster.
"""
import ctypes
import glob
import math
import os
import sys
import timeit

import numpy as np
from scipy.stats.sampling import TransformedDensityRejection

import adaptive_rejection
from adaptive_rejection import LogConcaveSampler

N = 10**6


class Normal:
    @staticmethod
    def pdf(x):
        return math.exp(-0.5 * x * x)

    @staticmethod
    def dpdf(x):
        return -x * math.exp(-0.5 * x * x)


class Beta23:
    @staticmethod
    def pdf(x):
        return x * (1.0 - x) ** 2

    @staticmethod
    def dpdf(x):
        return (1.0 - x) ** 2 - 2.0 * x * (1.0 - x)


def beta23_logpdf(x):
    return math.log(x) + 2.0 * math.log1p(-x) if 0.0 < x < 1.0 else -math.inf


CASES = [
    ("N(0,1)", lambda x: -0.5 * x * x, (-math.inf, math.inf), Normal(), None),
    ("Beta(2,3)", beta23_logpdf, (0.0, 1.0), Beta23(), (0.0, 1.0)),
]


def best(stmt, number, repeat=5):
    return min(timeit.repeat(stmt, number=number, repeat=repeat)) / number


def c_normal():
    here = os.path.dirname(os.path.dirname(adaptive_rejection.__file__))
    found = glob.glob(os.path.join(here, "*ars_python_test_densities*.so"))
    if not found:
        return None
    f = ctypes.CDLL(found[0]).standard_normal_logpdf
    f.restype, f.argtypes = ctypes.c_double, [ctypes.c_double]
    return f


def main():
    rng = np.random.default_rng(1)
    print("%-10s %-28s %12s %12s %8s" % ("density", "measure", "ours", "TDR", "ratio"))
    for name, logpdf, domain, dist, tdr_domain in CASES:
        ours = best(lambda: LogConcaveSampler(logpdf, domain, random_state=rng).rvs(N), 1)
        tdr_sampler = TransformedDensityRejection(dist, domain=tdr_domain, random_state=rng)
        tdr = best(lambda: tdr_sampler.rvs(N), 1)
        print("%-10s %-28s %10.2f ms %10.2f ms %8.2f" % (name, "rvs(10**6), fresh sampler",
                                                        ours * 1e3, tdr * 1e3, ours / tdr))
        ours = best(lambda: LogConcaveSampler(logpdf, domain, random_state=rng).rvs(), 200)
        tdr = best(lambda: TransformedDensityRejection(dist, domain=tdr_domain,
                                                       random_state=rng), 20)
        print("%-10s %-28s %10.1f us %10.1f us %8.2f" % (name, "construction + first draw",
                                                        ours * 1e6, tdr * 1e6, ours / tdr))
    f = c_normal()
    if f is None:
        print("C function: test library not found beside the module; build with ctest targets")
        return 1
    t = best(lambda: LogConcaveSampler(f, random_state=rng).rvs(), 2000)
    print("%-10s %-28s %10.1f us %12s %8s   (target < 20 us)" % (
        "N(0,1)", "C function: constr. + draw", t * 1e6, "", ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
