"""Copies, pickles, C functions that take data, and the concavity check."""
import copy
import ctypes
import math
import pickle
import subprocess
import sys

import numpy as np
import pytest

from scipy import stats

from adaptive_rejection import LogConcaveSampler, NotLogConcaveError, TConcaveSampler


def normal(x):
    return -0.5 * x * x


def cauchy(x):
    return -math.log1p(x * x)


@pytest.mark.parametrize("how", [copy.copy, copy.deepcopy, lambda s: pickle.loads(pickle.dumps(s))])
def test_copies_are_independent_and_continue(how):
    s = LogConcaveSampler(normal, random_state=3)
    s.rvs(100)
    q = how(s)
    assert q._core is not s._core
    a = s.rvs(1000)
    assert q.rvs(1000).shape == a.shape and s.rvs(10).shape == (10,)
    if how is not copy.copy and how is not copy.deepcopy:
        return
    np.testing.assert_array_equal(how(s).rvs(500), s.rvs(500))


def t3(x):
    return -2.0 * math.log1p(x * x / 3)


def vectorized_normal(x):
    return -0.5 * np.asarray(x) ** 2


@pytest.mark.parametrize("make", [
    lambda seed: LogConcaveSampler(normal, random_state=seed),
    lambda seed: LogConcaveSampler(normal, starts=[0.3, 2.0], random_state=seed, check=True),
    lambda seed: LogConcaveSampler(vectorized_normal, random_state=seed, vectorized=True),
    lambda seed: TConcaveSampler(t3, random_state=seed),
    lambda seed: TConcaveSampler(t3, splits=[-1.0, 1.0], random_state=seed),
])
@pytest.mark.parametrize("seed", [3, np.random.SeedSequence(8)])
def test_pickle_rebuilds_the_envelope_and_continues_the_stream(make, seed):
    s = make(seed)
    s.rvs(50)
    for size in (None, 7, (2, 3), None):  # single draws and batches alike
        s.rvs(size)
    q = pickle.loads(pickle.dumps(s))
    for a, b in zip(q.points + q.hull if hasattr(q, "hull") else q.points,
                    s.points + s.hull if hasattr(s, "hull") else s.points):
        np.testing.assert_array_equal(a, b)
    assert q.log_hat_area == s.log_hat_area and q.evaluations == s.evaluations
    np.testing.assert_array_equal(q.rvs(100), s.rvs(100))
    # And again from the copy, after a copy.
    r = pickle.loads(pickle.dumps(copy.copy(q)))
    np.testing.assert_array_equal(r.rvs(10**5), q.rvs(10**5))


def test_pickle_of_a_sampler_it_cannot_replay_still_draws_exactly():
    g = np.random.default_rng(4)  # a generator the caller shares: its draws cannot be repeated
    for s in (LogConcaveSampler(normal, random_state=g), LogConcaveSampler(normal, random_state=5)):
        s.rvs(50)
        s.rvs(10, random_state=6)  # from elsewhere
        q = pickle.loads(pickle.dumps(s))
        assert stats.kstest(q.rvs(20000), "norm").pvalue > 1e-6


def test_lambda_does_not_pickle_with_a_message_naming_it():
    with pytest.raises(TypeError, match="logpdf"):
        pickle.dumps(LogConcaveSampler(lambda x: -x * x, random_state=1))


def _draw(s):
    return float(np.mean(s.rvs(2000)))


def test_pool_draws_from_a_pickled_sampler():
    import multiprocessing
    s = LogConcaveSampler(normal, random_state=1)
    with multiprocessing.get_context("spawn").Pool(2) as pool:
        means = pool.map(_draw, [s, s])
    assert all(abs(m) < 0.2 for m in means)


def test_c_function_with_data_pointer_needs_data(c_densities):
    f = c_densities.normal_logpdf_with_data
    with pytest.raises(ValueError, match="user_data"):
        LogConcaveSampler(f)
    params = (ctypes.c_double * 2)(3.0, 2.0)
    x = LogConcaveSampler(f, data=params, random_state=2).rvs(5000)
    assert abs(x.mean() - 3.0) < 0.2
    with pytest.raises(ValueError):
        LogConcaveSampler(c_densities.standard_normal_logpdf, data=params)


def test_function_reading_its_data_no_longer_crashes(c_densities):
    code = ("import ctypes, sys\nfrom adaptive_rejection import LogConcaveSampler\n"
            "lib = ctypes.CDLL(sys.argv[1]); f = lib.normal_logpdf_with_data\n"
            "f.restype = ctypes.c_double; f.argtypes = [ctypes.c_double, ctypes.c_void_p]\n"
            "try:\n    LogConcaveSampler(f).rvs()\nexcept ValueError:\n    sys.exit(3)\n")
    import os
    r = subprocess.run([sys.executable, "-c", code, os.environ["ARS_TEST_C_DENSITIES"]])
    assert r.returncode == 3


def test_check_finds_cauchy_from_one_start_and_passes_log_concave():
    rng = np.random.default_rng(1)
    for x in rng.standard_cauchy(50):
        with pytest.raises(NotLogConcaveError):
            LogConcaveSampler(cauchy, starts=[float(x)], random_state=rng, check=True)
    for x in np.linspace(-8, 8, 33):
        s = LogConcaveSampler(lambda t: t - math.exp(t) if t < 700 else -math.inf, starts=[x], random_state=1, check=64)
        assert np.isfinite(s.rvs())
