#!/usr/bin/env python3
"""adaptive_rejection against scipy's TransformedDensityRejection, in one run.

Usage (after `make test`):
    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py

Prints, for N(0, 1) and Beta(2, 3) with a plain Python log-density:
  - rvs(10**6) time against TDR's rvs(10**6) (TDR needs pdf and dpdf);
  - construction + first draw against TDR's construction alone;
and, for N(0, 1) as a C function through ctypes, construction + first draw
in microseconds. Times are the best of several repeats; ratios below 1
mean adaptive_rejection is faster. Then one Gibbs update of N(x / 2, 1) in
microseconds: a new sampler with starts=[x] and one draw, against the warm
update s.update(x), with a lambda and with a C function whose data holds the
mean, beside numpy's normal in the same loop. The same for a Student t(3)
at x / 2 with TConcaveSampler, also with check=True; and the time
pickle.loads takes to rebuild a seeded sampler after rvs(10**6) (it repeats
the draws).
"""
import ctypes
import glob
import math
import os
import pickle
import sys
import timeit

import numpy as np
from scipy.stats.sampling import TransformedDensityRejection

import adaptive_rejection
from adaptive_rejection import LogConcaveSampler, TConcaveSampler

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


def test_library():
    here = os.path.dirname(os.path.dirname(adaptive_rejection.__file__))
    found = glob.glob(os.path.join(here, "*ars_python_test_densities*.so"))
    return ctypes.CDLL(found[0]) if found else None


def c_normal():
    lib = test_library()
    if lib is None:
        return None
    f = lib.standard_normal_logpdf
    f.restype, f.argtypes = ctypes.c_double, [ctypes.c_double]
    return f


def gibbs_updates(rng, updates=20000):
    """Microseconds per update of N(x / 2, 1), the chain's state x as start."""
    def numpy_normal():
        x = 0.0
        for _ in range(updates):
            x = rng.normal(x / 2)

    def fresh():
        x = 0.0
        for _ in range(updates):
            m = x / 2
            x = LogConcaveSampler(lambda v: -0.5 * (v - m) * (v - m), starts=x, random_state=rng).rvs()

    def warm():
        p = [0.0]
        s = LogConcaveSampler(lambda v: -0.5 * (v - p[0]) * (v - p[0]), starts=0.0, random_state=rng)
        x = 0.0
        for _ in range(updates):
            p[0] = x / 2
            x = s.update(x)

    loops = [("numpy normal(x / 2)", numpy_normal), ("lambda, new sampler", fresh),
             ("lambda, update", warm)]
    lib = test_library()
    if lib is not None:
        f = lib.normal_logpdf_with_data
        f.restype, f.argtypes = ctypes.c_double, [ctypes.c_double, ctypes.c_void_p]
        params = (ctypes.c_double * 2)(0.0, 1.0)
        address = ctypes.cast(params, ctypes.c_void_p).value

        def fresh_c():
            x = 0.0
            for _ in range(updates):
                params[0] = x / 2
                x = LogConcaveSampler(f, starts=x, data=address, random_state=rng).rvs()

        def warm_c():
            s = LogConcaveSampler(f, starts=0.0, data=address, random_state=rng)
            x = 0.0
            for _ in range(updates):
                params[0] = x / 2
                x = s.update(x)

        loops += [("C function, new sampler", fresh_c), ("C function, update", warm_c)]
    return [(name, best(loop, 1) / updates) for name, loop in loops]


def t_concave_updates(rng, updates=5000):
    """Microseconds per update of t(3) at x / 2, the chain's state x as start."""
    def fresh(check):
        def loop():
            x = 0.0
            for _ in range(updates):
                m = x / 2
                x = TConcaveSampler(lambda v: -2.0 * math.log1p((v - m) * (v - m) / 3), starts=x,
                                    random_state=rng, check=check).rvs()
        return loop

    def warm():
        p = [0.0]
        s = TConcaveSampler(lambda v: -2.0 * math.log1p((v - p[0]) * (v - p[0]) / 3), starts=0.0,
                            random_state=rng)
        x = 0.0
        for _ in range(updates):
            p[0] = x / 2
            x = s.update(x)

    loops = [("new sampler", fresh(False)), ("new sampler, check=True", fresh(True)),
             ("update", warm)]
    return [(name, best(loop, 1, 3) / updates) for name, loop in loops]


def normal_logpdf(x):
    return -0.5 * x * x


def pickle_load_time():
    s = LogConcaveSampler(normal_logpdf, random_state=1)
    s.rvs(10**6)
    data = pickle.dumps(s)
    return best(lambda: pickle.loads(data), 1, 3)


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
    print()
    print("one Gibbs update of N(x / 2, 1):")
    for name, t in gibbs_updates(rng):
        print("  %-26s %6.2f us" % (name, t * 1e6))
    print("one Gibbs update of t(3) at x / 2, lambda, TConcaveSampler:")
    for name, t in t_concave_updates(rng):
        print("  %-26s %6.2f us" % (name, t * 1e6))
    print("pickle.loads of a seeded sampler after rvs(10**6): %.1f ms" % (pickle_load_time() * 1e3))
    return 0


if __name__ == "__main__":
    sys.exit(main())
