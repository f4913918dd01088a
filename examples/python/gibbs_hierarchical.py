#!/usr/bin/env python3
"""Gibbs sampler of a hierarchical Poisson model with log-normal rates.

Ten pumps: y[j] failures in t[j] thousand hours. Model:
    y[j] ~ Poisson(t[j] * exp(theta[j])),  theta[j] ~ N(mu, 1 / phi),
    mu flat, phi ~ Gamma(1, 1) (precision).
No conditional is a standard distribution for theta; all are log-concave, so
each step draws from a fresh LogConcaveSampler started at the chain's
current value, with the chain's one numpy Generator.

    python3 examples/python/gibbs_hierarchical.py [--plot picture.png]
(--plot needs matplotlib.)
"""
import argparse
import math

import numpy as np

from adaptive_rejection import LogConcaveSampler

t = np.array([94.3, 15.7, 62.9, 126.0, 5.24, 31.4, 1.05, 1.05, 2.1, 10.5])
y = np.array([5, 1, 5, 14, 3, 19, 1, 1, 4, 22])


def gibbs(iterations, rng):
    theta, mu, phi = np.log((y + 0.5) / t), 0.0, 1.0
    trace = np.empty((iterations, len(t) + 2))
    for i in range(iterations):
        for j in range(len(t)):
            def h(x, j=j):
                if x > 700.0:  # exp(x) overflows; the density is zero there anyway
                    return -math.inf
                return y[j] * x - t[j] * math.exp(x) - 0.5 * phi * (x - mu) ** 2
            theta[j] = LogConcaveSampler(h, starts=[theta[j]], random_state=rng).rvs()
        m, sd = theta.mean(), 1.0 / math.sqrt(phi * len(t))
        mu = LogConcaveSampler(lambda x: -0.5 * ((x - m) / sd) ** 2, starts=[mu],
                               random_state=rng).rvs()
        shape, rate = 1.0 + 0.5 * len(t), 1.0 + 0.5 * np.sum((theta - mu) ** 2)
        phi = LogConcaveSampler(lambda x: (shape - 1.0) * math.log(x) - rate * x if x > 0
                                else -math.inf, (0.0, math.inf), starts=[phi],
                                random_state=rng).rvs()
        trace[i] = np.concatenate([theta, [mu, phi]])
    return trace


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--iterations", type=int, default=2000)
    parser.add_argument("--plot", metavar="FILE", help="save trace and histograms (matplotlib)")
    args = parser.parse_args()
    trace = gibbs(args.iterations, np.random.default_rng(2024))[args.iterations // 5:]
    rates = np.exp(trace[:, :len(t)])
    print("pump  failures  hours   posterior mean rate (per 1000 h)")
    for j in range(len(t)):
        print("%4d  %8d  %6.2f  %.3f" % (j + 1, y[j], t[j], rates[:, j].mean()))
    print("mu %.3f, precision %.3f" % (trace[:, -2].mean(), trace[:, -1].mean()))
    if args.plot:
        try:
            import matplotlib
            matplotlib.use("Agg")
            import matplotlib.pyplot as plt
        except ImportError:
            print("matplotlib is not installed; no plot")
            return
        fig, (a, b) = plt.subplots(1, 2, figsize=(10, 4))
        a.plot(trace[:, -2], lw=0.5)
        a.set_title("mu, after burn-in")
        b.hist(rates[:, 9], bins=50, density=True)
        b.set_title("rate of pump 10")
        fig.savefig(args.plot)
        print("saved", args.plot)


if __name__ == "__main__":
    main()
