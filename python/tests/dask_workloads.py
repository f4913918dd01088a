"""Functions the Dask tests send to workers, importable there without pytest or scipy."""
import math
import os

import numpy as np

from adaptive_rejection import LogConcaveSampler


def normal(x):
    return -0.5 * x * x


def t3(x):
    return -2.0 * math.log1p(x * x / 3)


def continue_drawing(sampler, n):
    return sampler.rvs(n), os.getpid()


def gibbs_chain(rng):
    # Bivariate normal, correlation 0.5, by Gibbs updates.
    p = {"y": 0.0}
    s = LogConcaveSampler(_Conditional(p), starts=[0.0], random_state=rng)
    x, xs = 0.0, []
    for _ in range(200):
        p["y"] = rng.normal(0.5 * x, 0.75 ** 0.5)
        x = s.update(x)
        xs.append(x)
    return np.array(xs), os.getpid()


class _Conditional:
    def __init__(self, p):
        self.p = p

    def __call__(self, x):
        return -(x - 0.5 * self.p["y"]) ** 2 / 1.5
