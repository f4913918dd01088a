#!/usr/bin/python3
"""TConcaveSampler against scipy's TransformedDensityRejection (c = -0.5,
given the density's derivative) on the Cauchy, and against LogConcaveSampler
on the normal; prints times and ratios from one run.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/t_concave_vs_scipy.py [--count N]

Steady state: ns per draw of rvs(N) (default 10**6) after 10**6 draws of
warm-up. Start: scipy's construction against our construction and first draw.
The contenders take turns, and each figure is the best of its turns, so that
a busy machine slows both alike. Needs Debian's python3-scipy and python3-numpy.
"""
import argparse
import math
import time

from scipy.stats import sampling

from adaptive_rejection import LogConcaveSampler, TConcaveSampler


class Cauchy:
    """The unnormalised Cauchy density and its derivative, as scipy needs them."""

    @staticmethod
    def pdf(x):
        return 1.0 / (1.0 + x * x)

    @staticmethod
    def dpdf(x):
        return -2.0 * x / (1.0 + x * x) ** 2


def cauchy_logpdf(x):
    return -math.log1p(x * x)


def normal_logpdf(x):
    return -0.5 * x * x


def best_of_turns(contenders, turns):
    """Best seconds of each zero-argument callable, taking turns."""
    best = [math.inf] * len(contenders)
    for _ in range(turns):
        for i, run in enumerate(contenders):
            start = time.perf_counter()
            run()
            best[i] = min(best[i], time.perf_counter() - start)
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, default=10**6)
    parser.add_argument("--turns", type=int, default=9)
    args = parser.parse_args()
    n = args.count

    scipy_tdr = sampling.TransformedDensityRejection(Cauchy(), c=-0.5, random_state=1)
    ours = TConcaveSampler(cauchy_logpdf, random_state=1)
    ours.rvs(10**6)
    scipy_tdr.rvs(10**6)
    scipy_s, ours_s = best_of_turns([lambda: scipy_tdr.rvs(n), lambda: ours.rvs(n)], args.turns)
    print("Cauchy, steady state: scipy TDR %.1f ns/draw, TConcaveSampler %.1f ns/draw, ratio %.2f"
          % (scipy_s / n * 1e9, ours_s / n * 1e9, ours_s / scipy_s))

    def scipy_start():
        sampling.TransformedDensityRejection(Cauchy(), c=-0.5, random_state=1)

    def ours_start():
        TConcaveSampler(cauchy_logpdf, random_state=1).rvs()

    scipy_s, ours_s = best_of_turns([scipy_start, ours_start], 20 * args.turns)
    print("Cauchy, start: scipy TDR construction %.1f us, TConcaveSampler construction and "
          "first draw %.1f us, ratio %.2f" % (scipy_s * 1e6, ours_s * 1e6, ours_s / scipy_s))

    log_concave = LogConcaveSampler(normal_logpdf, random_state=1)
    under_log = TConcaveSampler(normal_logpdf, c=0, random_state=1)
    log_concave.rvs(10**6)
    under_log.rvs(10**6)
    lcs_s, ours_s = best_of_turns([lambda: log_concave.rvs(n), lambda: under_log.rvs(n)], args.turns)
    print("normal, steady state: LogConcaveSampler %.1f ns/draw, TConcaveSampler(c=0) %.1f ns/draw, "
          "ratio %.2f" % (lcs_s / n * 1e9, ours_s / n * 1e9, ours_s / lcs_s))


if __name__ == "__main__":
    main()
