#!/usr/bin/env python3
"""10**8 N(0, 1) draws summed: two local Dask worker processes against one sampler.

Usage (after building the Python module, with python3-distributed installed):
    PYTHONPATH=build/release/python /usr/bin/python3 bench/dask_scale.py [--n 1e8] [--workers 2]

Times ``adaptive_rejection.dask.rvs(normal, n, chunks=n // 10).sum().compute()``
on a LocalCluster of worker processes (one thread each, on 127.0.0.1; the
draws stay on the workers, only the chunks' sums travel) against one local
sampler drawing the same number in chunks of n // 10 and summing them. The
cluster starts before the clock and is warmed up by a small array; each
side is timed `--repeat` times and the best is kept. The ratio is
dask / local: below 1 the cluster is faster. On a machine busy with other
work the ratio says little; `uptime` before it is printed with the result.
"""
import argparse
import os
import time

import numpy as np

from adaptive_rejection import LogConcaveSampler
import adaptive_rejection.dask as ard


def normal(x):
    return -0.5 * x * x


def local_sum(n, chunk, seed):
    s = LogConcaveSampler(normal, random_state=seed)
    total, left = 0.0, n
    while left:
        m = min(chunk, left)
        total += float(s.rvs(m).sum())
        left -= m
    return total


def best_of(repeat, f):
    """The best time of f(i) for i in range(repeat), and the last value."""
    times, value = [], None
    for i in range(repeat):
        t = time.perf_counter()
        value = f(i)
        times.append(time.perf_counter() - t)
    return min(times), value


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--n", type=float, default=1e8)
    p.add_argument("--workers", type=int, default=2)
    p.add_argument("--repeat", type=int, default=3)
    args = p.parse_args()
    n = int(args.n)
    chunk = max(1, n // 10)

    from distributed import Client, LocalCluster
    with LocalCluster(processes=True, n_workers=args.workers, threads_per_worker=1,
                      host="127.0.0.1", dashboard_address=None) as cluster, \
            Client(cluster) as client:
        client.wait_for_workers(args.workers)
        ard.rvs(normal, 1000, chunks=100, random_state=0).sum().compute()  # warm up
        load = os.getloadavg()
        t_local, s_local = best_of(args.repeat, lambda i: local_sum(n, chunk, 1 + i))
        # A new seed each time: the same seed makes the same keys, whose
        # result the scheduler may still hold from the last repeat.
        t_dask, s_dask = best_of(
            args.repeat,
            lambda i: ard.rvs(normal, n, chunks=chunk, random_state=1 + i).sum().compute())
    print("load average before: %.2f %.2f %.2f on %d cores" % (load + (os.cpu_count(),)))
    print("one local sampler:        %.3f s for %d draws (sum %.1f, mean %.2e)"
          % (t_local, n, s_local, s_local / n))
    print("dask, %d worker processes: %.3f s in %d chunks (sum %.1f, mean %.2e)"
          % (args.workers, t_dask, -(-n // chunk), s_dask, s_dask / n))
    print("ratio dask / local: %.3f (target <= 0.75)" % (t_dask / t_local))
    assert abs(s_local / n) < 6 / np.sqrt(n) and abs(s_dask / n) < 6 / np.sqrt(n)


if __name__ == "__main__":
    main()
