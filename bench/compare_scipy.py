#!/usr/bin/python3
"""Steady-state draws against scipy's TransformedDensityRejection and numpy's
standard_normal, timed side by side in one run; prints ns per draw and ratios.

    /usr/bin/python3 bench/compare_scipy.py [BUILD_DIR] [--count N] [--mode library|table]

library (the default) times LogConcaveSampler::sample(out, n); table, the
FastTable alone under a fixed envelope.

BUILD_DIR (or the environment variable ARS_BUILD_DIR; default build/release)
is a CMake build directory holding bench/steady_state_draws. Needs Debian's
python3-scipy and python3-numpy (apt-get install python3-scipy python3-numpy);
`make bench` does not run this script and does not need them.
Every figure is the best of 7 batches of N draws (default 10**6), set-up excluded.
"""
import argparse
import os
import pathlib
import re
import subprocess
import sys
import time


def best_ns_per_draw(draw, count, repeats=7):
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter_ns()
        draw(count)
        best = min(best, (time.perf_counter_ns() - start) / count)
    return best


def ours(program, density, count, mode):
    result = subprocess.run([str(program), density, str(count), mode],
                            capture_output=True, text=True, check=False)
    if result.returncode != 0:
        sys.exit(f"compare_scipy: {program} {density} failed: {result.stderr.strip()}")
    match = re.match(r"\s*([0-9.]+) ns/draw", result.stdout)
    if not match:
        sys.exit(f"compare_scipy: unexpected output of {program}: {result.stdout!r}")
    return float(match.group(1))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", nargs="?", default=os.environ.get("ARS_BUILD_DIR", "build/release"))
    parser.add_argument("--count", type=int, default=10**6)
    parser.add_argument("--mode", choices=["table", "library"], default="library")
    args = parser.parse_args()
    if args.count < 1:
        sys.exit(f"compare_scipy: --count must be positive, not {args.count}")
    program = pathlib.Path(args.build_dir) / "bench" / "steady_state_draws"
    if not program.is_file():
        sys.exit(f"compare_scipy: {program} not found; build the target steady_state_draws first")
    try:
        import numpy as np
        from scipy.stats.sampling import TransformedDensityRejection
    except ImportError as error:
        sys.exit(f"compare_scipy: {error}; install python3-scipy and python3-numpy (apt-get)")

    class Normal:
        def pdf(self, x):
            return np.exp(-0.5 * x * x)

        def dpdf(self, x):
            return -x * np.exp(-0.5 * x * x)

    class Beta23:
        def pdf(self, x):
            return x * (1 - x) ** 2

        def dpdf(self, x):
            return (1 - x) ** 2 - 2 * x * (1 - x)

    rng = np.random.default_rng(12345)
    tdr = {
        "normal": TransformedDensityRejection(Normal(), domain=(-np.inf, np.inf), random_state=rng),
        "beta": TransformedDensityRejection(Beta23(), domain=(0, 1), random_state=rng),
    }
    count = args.count
    rows = {}
    for density in ("normal", "beta"):
        rows[density] = {
            "ours": ours(program, density, count, args.mode),
            "tdr": best_ns_per_draw(tdr[density].rvs, count),
        }
    numpy_normal = best_ns_per_draw(rng.standard_normal, count)

    print(f"{count} draws per batch, best of 7; ours: steady_state_draws {args.mode}")
    print(f"{'density':8} {'ours ns':>9} {'TDR ns':>9} {'numpy ns':>9} {'ours/TDR':>9} {'ours/numpy':>11}")
    for density, row in rows.items():
        numpy_text = f"{numpy_normal:9.2f}" if density == "normal" else f"{'':9}"
        ratio_numpy = f"{row['ours'] / numpy_normal:11.2f}" if density == "normal" else ""
        print(f"{density:8} {row['ours']:9.2f} {row['tdr']:9.2f} {numpy_text} "
              f"{row['ours'] / row['tdr']:9.2f} {ratio_numpy}")


if __name__ == "__main__":
    main()
