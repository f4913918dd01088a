#!/usr/bin/env python3
"""Instructions per Gibbs update from Python and R, counted by callgrind.

One loop of N(x / 2, 1) updates, the log-density a C function whose data
holds the mean: `numpy` (rng.normal), `fresh` (a new sampler with
starts=[x] and one draw) or `update` (s.update(x)). Each loop runs twice
under callgrind, with `low` and `high` updates; the difference over
high - low is the cost of one update, whatever the interpreter's start
costs. With `--measure` the script does that for every loop, and for R's
(bench/r_update_instructions.R: rnorm(1), rlogconcave(1, pointer, starts =
x, params = x / 2) and the warm $update), and prints the table:

    PYTHONPATH=build/release/python /usr/bin/python3 \\
        bench/python_update_instructions.py --measure [r-library]

`--time` times the three loops in turns instead (the loops' setup included,
a few ms). One loop alone, under callgrind by hand:

    PYTHONPATH=build/release/python valgrind --tool=callgrind \\
        --callgrind-out-file=/dev/null /usr/bin/python3 \\
        bench/python_update_instructions.py update 20000
"""
import ctypes
import glob
import math
import os
import re
import subprocess
import sys

import numpy as np

import adaptive_rejection
from adaptive_rejection import LogConcaveSampler

HERE = os.path.dirname(os.path.abspath(__file__))


def loop(kind, updates):
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


def instructions(command, env=None):
    run = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + command,
                         capture_output=True, text=True, env=env)
    counts = re.findall(r"Collected : (\d+)", run.stderr)
    if run.returncode != 0 or not counts:
        sys.exit("callgrind failed: %s\n%s" % (" ".join(command), run.stderr[-2000:]))
    return int(counts[-1])


def per_update(command, low, high):
    return (instructions(command(high)) - instructions(command(low))) / (high - low)


def measure(r_library):
    python = lambda kind: lambda n: [sys.executable, __file__, kind, str(n)]
    rows = [("numpy normal()", python("numpy")), ("fresh sampler + rvs()", python("fresh")),
            ("update()", python("update"))]
    py = {name: per_update(cmd, 1000, 6000) for name, cmd in rows}
    base = py["numpy normal()"]
    print("| Python, N(x/2, 1), a C function | instructions per call | / numpy normal() |")
    print("|---|---|---|")
    for name, n in py.items():
        print("| %s | %.0f | %.2f |" % (name, n, n / base))
    if r_library is None:
        return
    script = os.path.join(HERE, "r_update_instructions.R")
    # R -d runs the R binary itself under valgrind (Rscript is a launcher).
    r = lambda kind: lambda n: ["R", "--vanilla", "--slave", "-f", script, "--args", kind, str(n), r_library]
    rows = [("rnorm(1, x / 2)", r("rnorm")),
            ("rlogconcave(1, pointer, starts = x, params = x / 2)", r("fresh")),
            ("warm $update(x, x / 2)", r("update"))]
    rn = {name: (r_instructions(cmd(2200)) - r_instructions(cmd(200))) / 2000 for name, cmd in rows}
    base = rn["rnorm(1, x / 2)"]
    print()
    print("| R, N(x/2, 1), a compiled logpdf | instructions per call | / rnorm(1) |")
    print("|---|---|---|")
    for name, n in rn.items():
        print("| %s | %.0f | %.2f |" % (name, n, n / base))


def r_instructions(command):
    run = subprocess.run([command[0], "-d", "valgrind --tool=callgrind --callgrind-out-file=/dev/null"]
                         + command[1:], capture_output=True, text=True)
    counts = re.findall(r"Collected : (\d+)", run.stdout + run.stderr)
    if run.returncode != 0 or not counts:
        sys.exit("callgrind failed: %s\n%s" % (" ".join(command), run.stderr[-2000:]))
    return int(counts[-1])


def timings(updates=20000, rounds=15):
    """The loops timed in turns, so that a change of the machine's load
    shifts them alike; the least time of each."""
    import time
    best = {}
    for _ in range(rounds):
        for kind in ("numpy", "fresh", "update"):
            t = time.perf_counter()
            loop(kind, updates)
            best[kind] = min(best.get(kind, math.inf), time.perf_counter() - t)
    for kind, t in best.items():
        print("%-7s %6.3f us a call, %.2f x numpy" % (kind, 1e6 * t / updates, t / best["numpy"]))


def main():
    if sys.argv[1] == "--time":
        timings()
    elif sys.argv[1] == "--measure":
        measure(sys.argv[2] if len(sys.argv) > 2 else None)
    else:
        loop(sys.argv[1], int(sys.argv[2]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
