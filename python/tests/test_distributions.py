"""Draws against scipy.stats by Kolmogorov-Smirnov, from fixed seeds."""
import math

import numpy as np
import pytest
from scipy import stats

from adaptive_rejection import LogConcaveSampler

N = 20000
P_MIN = 1e-4

CASES = {
    "normal": (lambda x: -0.5 * x * x, None, stats.norm()),
    "truncated normal, far tail": (lambda x: -0.5 * x * x, (8.0, math.inf),
                                   stats.truncnorm(8.0, math.inf)),
    "gamma(2.5), distribution object": (stats.gamma(2.5), None, stats.gamma(2.5)),
    "beta(2, 3), distribution object": (stats.beta(2, 3), None, stats.beta(2, 3)),
    "logistic": (lambda x: -x - 2.0 * math.log1p(math.exp(-x)) if x > -700 else x,
                 None, stats.logistic()),
    "gumbel": (lambda x: -x - math.exp(-x) if x > -700 else -math.inf, None, stats.gumbel_r()),
}


@pytest.mark.parametrize("name", CASES)
def test_draws_follow_the_density(name):
    logpdf, domain, reference = CASES[name]
    s = LogConcaveSampler(logpdf, domain, random_state=20240601)
    x = s.rvs(N)
    assert stats.kstest(x, reference.cdf).pvalue > P_MIN
    lo, hi = reference.support() if domain is None else domain
    assert np.all((x >= lo) & (x <= hi))


def test_vectorized_callable_gets_arrays_and_gives_the_same_draws():
    seen = []

    def logpdf(x):
        seen.append(type(x))
        return -0.5 * np.asarray(x) ** 2

    vec = LogConcaveSampler(logpdf, starts=[-1.0, 0.5, 2.0], random_state=3, vectorized=True)
    calls_for_starts = len(seen)
    plain = LogConcaveSampler(lambda x: -0.5 * x ** 2, starts=[-1.0, 0.5, 2.0], random_state=3)
    np.testing.assert_array_equal(vec.rvs(2000), plain.rvs(2000))
    assert set(seen) == {np.ndarray}
    assert calls_for_starts < plain.evaluations  # the starts came in one call


def test_inspection_bounds_the_normalising_constant_and_draws_the_envelope():
    s = LogConcaveSampler(lambda x: -0.5 * x * x, random_state=1)
    s.rvs(1000)
    assert s.squeeze_area <= math.sqrt(2 * math.pi) <= s.hat_area
    assert s.squeeze_hat_ratio == pytest.approx(s.squeeze_area / s.hat_area)
    assert s.log_hat_area == pytest.approx(math.log(s.hat_area))
    x, h = s.points
    assert np.all(np.diff(x) > 0) and np.array_equal(h, -0.5 * x * x)
    hx, hy = s.hull
    sx, sy = s.squeeze
    assert hx.shape == hy.shape and sx.shape == sy.shape and len(hx) >= len(x)
    assert np.all(hy >= -0.5 * hx * hx - 1e-9)  # the hull lies above the log-density
    assert s.evaluations >= len(x)
