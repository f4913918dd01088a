#!/usr/bin/env python3
"""Instructions per Gibbs update from Python, counted by callgrind.

One loop of N(x / 2, 1) updates, the log-density a C function whose data
holds the mean: `numpy` (rng.normal), `fresh` (a new sampler with
starts=[x] and one draw) or `update` (s.update(x)). Run it twice under
callgrind, with 0 and with n updates; the difference over n is the cost of
one update, whatever the interpreter's start costs:

    PYTHONPATH=build/engine/python valgrind --tool=callgrind \\
        --callgrind-out-file=/dev/null /usr/bin/python3 \\
        bench/python_update_instructions.py update 20000
"""
import ctypes
import glob
import os
import sys

import numpy as np

import adaptive_rejection
from adaptive_rejection import LogConcaveSampler


def main():
    kind, updates = sys.argv[1], int(sys.argv[2])
    here = os.path.dirname(os.path.dirname(adaptive_rejection.__file__))
    lib = ctypes.CDLL(glob.glob(os.path.join(here, "*ars_python_test_densities*.so"))[0])
    f = lib.normal_logpdf_with_data
    f.restype, f.argtypes = ctypes.c_double, [ctypes.c_double, ctypes.c_void_p]
    params = (ctypes.c_double * 2)(0.0, 1.0)
    address = ctypes.cast(params, ctypes.c_void_p).value
    rng = np.random.default_rng(1)
    s = LogConcaveSampler(f, starts=0.0, data=address, random_state=rng)
    x = 0.0
    if kind == "numpy":
        for _ in range(updates):
            x = rng.normal(x / 2)
    elif kind == "fresh":
        for _ in range(updates):
            params[0] = x / 2
            x = LogConcaveSampler(f, starts=[x], data=address, random_state=rng).rvs()
    else:
        for _ in range(updates):
            params[0] = x / 2
            x = s.update(x)
    return 0


if __name__ == "__main__":
    sys.exit(main())
