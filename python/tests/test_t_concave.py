"""TConcaveSampler: Student t and a mixture against scipy, refusals, copies."""
import copy
import math
import pickle

import numpy as np
import pytest
from scipy import optimize, stats

from adaptive_rejection import NotLogConcaveError, TConcaveSampler

N = 20000
P_MIN = 1e-4


def t_logpdf(nu):
    return lambda x: -0.5 * (nu + 1) * math.log1p(x * x / nu)


def mixture_logpdf(x):
    return float(np.logaddexp(math.log(0.7) - 0.5 * x * x,
                              math.log(0.3 / 0.5) - 2.0 * (x - 4) ** 2))


def mixture_cdf(x):
    return 0.7 * stats.norm.cdf(x) + 0.3 * stats.norm.cdf(x, 4, 0.5)


def inflection_points(logpdf, lo=-20, hi=20):
    """Where the second difference of logpdf changes sign."""
    def curvature(x, e=1e-3):
        return logpdf(x + e) - 2 * logpdf(x) + logpdf(x - e)
    grid = np.linspace(lo, hi, 4001)
    signs = np.sign([curvature(x) for x in grid])
    return [optimize.brentq(curvature, a, b, xtol=1e-12)
            for a, b, sa, sb in zip(grid, grid[1:], signs, signs[1:]) if sa != sb]


@pytest.mark.parametrize("nu", [1, 1.5, 5, 30])
def test_student_t_draws_follow_scipy(nu):
    s = TConcaveSampler(t_logpdf(nu), random_state=2024)
    assert stats.kstest(s.rvs(N), stats.t(nu).cdf).pvalue > P_MIN
    assert s.squeeze_area <= s.hat_area
    assert 0.5 < s.squeeze_hat_ratio <= 1


def test_student_t_one_draw_per_fresh_sampler():
    rng = np.random.default_rng(5)
    x, xs = 0.0, []
    for _ in range(3000):
        x = TConcaveSampler(t_logpdf(3), starts=[x], random_state=rng).rvs()
        xs.append(x)
    assert stats.kstest(xs, stats.t(3).cdf).pvalue > P_MIN


def test_mixture_with_its_inflection_points():
    splits = inflection_points(mixture_logpdf)
    assert len(splits) == 4
    s = TConcaveSampler(mixture_logpdf, c=0, splits=splits, random_state=7)
    assert stats.kstest(s.rvs(N), mixture_cdf).pvalue > P_MIN
    assert s.splits == splits and s.c == 0


def test_reports_name_the_transformation():
    with pytest.raises(NotLogConcaveError, match=r"-1/sqrt\(f\)"):
        TConcaveSampler(t_logpdf(0.5), random_state=1).rvs(100000)
    with pytest.raises(NotLogConcaveError, match="log f"):
        TConcaveSampler(mixture_logpdf, c=0, random_state=1).rvs(100000)
    with pytest.raises(ValueError, match="c must be"):
        TConcaveSampler(t_logpdf(3), c=-1)
    with pytest.raises(ValueError, match="splits must increase"):
        TConcaveSampler(t_logpdf(3), splits=[1, 0])
    with pytest.raises(ValueError, match="outside"):
        TConcaveSampler(t_logpdf(3), (0, 1), splits=[2])


def test_errors_of_logpdf_propagate_unchanged():
    def bad(x):
        raise KeyError("mine")
    with pytest.raises(KeyError, match="mine"):
        TConcaveSampler(bad)


def test_copies_pickles_and_distribution_objects():
    s = TConcaveSampler(stats.t(4), random_state=3)
    s.rvs(100)
    c = copy.copy(s)
    assert np.array_equal(c.rvs(10), s.rvs(10))
    u = pickle.loads(pickle.dumps(TConcaveSampler(stats.cauchy(), random_state=3)))
    assert np.isfinite(u.rvs(10)).all()
    half = TConcaveSampler(stats.halfcauchy(), random_state=1)
    assert half.domain == (0.0, math.inf) and (half.rvs(1000) > 0).all()


@pytest.mark.parametrize("splits, error", [
    ("01", TypeError), (b"0", TypeError), (["0", "1"], TypeError), ([[0.0]], ValueError),
    ([[0.0, 1.0]], ValueError), ([None], TypeError),
])
def test_splits_must_be_a_flat_sequence_of_numbers(splits, error):
    with pytest.raises(error, match="splits"):
        TConcaveSampler(t_logpdf(3), splits=splits)


def test_check_reports_t_half_in_the_one_draw_pattern_and_passes_t_concave_ones():
    # t(0.5) is not T-concave under -1/sqrt(f) beyond |x| = sqrt(2); without
    # the check most fresh samplers that draw once go unnoticed.
    caught = 0
    for x0 in stats.t(0.5).rvs(300, random_state=1):
        with pytest.raises(NotLogConcaveError, match=r"-1/sqrt\(f\)"):
            TConcaveSampler(t_logpdf(0.5), starts=[float(x0)], random_state=2, check=True)
        caught += 1
    assert caught == 300
    for nu in (1, 3):
        for x0 in stats.t(nu).rvs(300, random_state=3):
            TConcaveSampler(t_logpdf(nu), starts=[float(x0)], random_state=4, check=True).rvs()
    splits = inflection_points(mixture_logpdf)
    for x0 in np.linspace(-3, 6, 50):
        TConcaveSampler(mixture_logpdf, c=0, splits=splits, starts=[x0], random_state=5, check=16)


def test_updates_follow_each_conditional():
    g = np.random.default_rng(6)
    means, scales = np.cumsum(g.normal(0, 0.5, 5000)), np.exp(g.normal(0, 0.3, 5000))
    p = [0.0, 1.0]

    def t3_logpdf(x):
        z = (x - p[0]) / p[1]
        return -2.0 * math.log1p(z * z / 3)

    s = TConcaveSampler(t3_logpdf, starts=0.0, random_state=7)
    x, draws = 0.0, np.empty(len(means))
    for i, (m, sd) in enumerate(zip(means, scales)):
        p[0], p[1] = m, sd
        x = draws[i] = s.update(x)
    assert stats.kstest((draws - means) / scales, stats.t(3).cdf).pvalue > P_MIN
    assert 0 < s.evaluations < 40  # the last update's only
    with pytest.raises(TypeError, match="start"):
        s.update("1")


def test_vectorized_hull_and_squeeze():
    def vectorized(x):
        return -2.0 * np.log1p(np.asarray(x) ** 2 / 3)

    a = TConcaveSampler(vectorized, vectorized=True, starts=[0.0, 1.0], random_state=8)
    b = TConcaveSampler(t_logpdf(3), starts=[0.0, 1.0], random_state=8)
    np.testing.assert_allclose(a.rvs(2000), b.rvs(2000), rtol=1e-9)  # numpy's log1p vs math's
    x, h = b.points
    hx, hy = b.hull
    sx, sy = b.squeeze
    assert np.all(np.interp(x, hx, hy) >= h - 1e-9)  # the hat lies on or above every point
    assert np.all(np.interp(x[1:-1], sx, sy) <= h[1:-1] + 1e-9)
    with pytest.raises(TypeError, match="logpdf.*dtype <U1"):
        TConcaveSampler(lambda x: np.array(["a"] * len(x)), vectorized=True, starts=[0.0])


def test_a_failed_update_leaves_the_sampler_as_it_was():
    failing = [False]

    def logpdf(x):
        if failing[0]:
            raise KeyError("mine")
        return -2.0 * math.log1p(x * x / 3)

    s = TConcaveSampler(logpdf, random_state=9)
    s.rvs(200)
    before = copy.copy(s)
    failing[0] = True
    with pytest.raises(KeyError):
        s.update(0.5)
    failing[0] = False
    np.testing.assert_array_equal(s.rvs(1000), before.rvs(1000))


def test_a_thousand_splits_of_a_log_concave_density():
    s = TConcaveSampler(lambda x: -x * x, c=0, splits=[i * 0.005 for i in range(-500, 501)],
                        random_state=10)
    assert stats.kstest(s.rvs(N), stats.norm(0, 0.5 ** 0.5).cdf).pvalue > P_MIN


def test_rvs_after_the_density_changed_points_to_update():
    loc = [0.0]
    s = TConcaveSampler(lambda x: -2.0 * math.log1p((x - loc[0]) ** 2 / 3), random_state=11)
    s.rvs(20)
    loc[0] = 40.0
    with pytest.raises(NotLogConcaveError, match=r"changed since the envelope.*update\(start\)"):
        s.rvs(100000)
