"""Gibbs updates: a sampler moved to each next conditional on the warm path."""
import copy
import ctypes

import numpy as np
import pytest
import scipy
from scipy import stats

from adaptive_rejection import LogConcaveSampler, NotLogConcaveError


def conditionals(n, seed):
    """Means that wander and scales that change from update to update."""
    g = np.random.default_rng(seed)
    return np.cumsum(g.normal(0, 0.5, n)), np.exp(g.normal(0, 0.3, n))


def python_chain(means, scales, seed, vectorized=False):
    p = [means[0], scales[0]]

    def logpdf(x):  # the operations of the C function, in its order
        z = (x - p[0]) / p[1]
        return -0.5 * z * z

    s = LogConcaveSampler(logpdf, starts=0.0, random_state=seed, vectorized=vectorized)
    x, out = 0.0, np.empty(len(means))
    for i, (m, sd) in enumerate(zip(means, scales)):
        p[0], p[1] = m, sd
        x = out[i] = s.update(x)
    return out, s


def test_each_update_draws_from_its_own_conditional():
    means, scales = conditionals(20000, 3)
    draws, s = python_chain(means, scales, 4)
    assert stats.kstest((draws - means) / scales, "norm").pvalue > 1e-6
    # Only the last update's evaluations are counted: a few, not the chain's.
    assert 3 <= s.evaluations <= 20
    # A seed repeats the chain run with a new sampler.
    np.testing.assert_array_equal(python_chain(means, scales, 4)[0], draws)


def test_c_function_reads_the_parameters_its_data_now_holds(c_densities):
    means, scales = conditionals(3000, 5)
    params = (ctypes.c_double * 2)(means[0], scales[0])
    f = scipy.LowLevelCallable(c_densities.normal_logpdf_with_data, ctypes.cast(params, ctypes.c_void_p))
    s = LogConcaveSampler(f, starts=0.0, random_state=6)
    x, draws = 0.0, np.empty(len(means))
    for i, (m, sd) in enumerate(zip(means, scales)):
        params[0], params[1] = m, sd
        x = draws[i] = s.update(x)
    # The same operations as the Python callable: the same draws, without the GIL.
    np.testing.assert_array_equal(draws, python_chain(means, scales, 6)[0])
    np.testing.assert_array_equal(python_chain(means[:200], scales[:200], 7, vectorized=True)[0],
                                  python_chain(means[:200], scales[:200], 7)[0])


def test_a_failed_update_is_reported_and_the_next_one_works():
    concave = [True]
    s = LogConcaveSampler(lambda x: -x * x if concave[0] else x * x, starts=0.0, random_state=8)
    with pytest.raises(ValueError, match="outside"):
        LogConcaveSampler(lambda x: -x * x, (0.0, 1.0), random_state=1).update(2.0)
    with pytest.raises(TypeError):
        s.update("a")
    concave[0] = False
    with pytest.raises(NotLogConcaveError):
        s.update(0.5)
    concave[0] = True
    assert abs(s.update(0.5)) < 10
    assert np.all(np.abs(s.rvs(1000, random_state=9)) < 10)


class Stop(Exception):
    pass


def test_an_update_whose_logpdf_raises_leaves_the_sampler_as_it_was():
    failing = [False]

    def logpdf(x):
        if failing[0]:
            raise Stop
        return -0.5 * x * x

    s = LogConcaveSampler(logpdf, random_state=3)
    s.rvs(200)
    before = copy.copy(s)
    failing[0] = True
    with pytest.raises(Stop):
        s.update(0.5)
    failing[0] = False
    np.testing.assert_array_equal(s.points[0], before.points[0])
    np.testing.assert_array_equal(s.rvs(1000), before.rvs(1000))
    assert abs(s.update(0.5)) < 10
