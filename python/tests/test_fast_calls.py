"""The one-call paths of a Gibbs update (a fresh sampler of the C function
recognised last, update, rvs) against the general path they stand in for."""
import ctypes
import math
import os
import pickle

import numpy as np
import pytest

from adaptive_rejection import LogConcaveSampler, _core

WHOLE = (-math.inf, math.inf)  # a given domain takes the general path


def blank():
    return object.__new__(LogConcaveSampler)


def data_of(params):
    return ctypes.cast(params, ctypes.c_void_p).value


def chain(f, address, params, rng, n, **general):
    x, out = 0.0, []
    for _ in range(n):
        params[0] = x / 2
        s = LogConcaveSampler(f, starts=[x], data=address, random_state=rng, **general)
        x = s.rvs()
        out.append((x, s.evaluations, s.points[0].tolist(), s._starts))
    return out, s


def test_fresh_samplers_draw_as_the_general_path(c_densities):
    f = c_densities.normal_logpdf_with_data
    params = (ctypes.c_double * 2)(0.0, 1.0)
    LogConcaveSampler(f, starts=0.0, data=data_of(params))  # recognised once
    assert _core.fresh_c(blank(), f, None, [0.5], np.random.default_rng(), False, data_of(params), False)
    fast, s = chain(f, data_of(params), params, np.random.default_rng(8), 300)
    general, t = chain(f, data_of(params), params, np.random.default_rng(8), 300, domain=WHOLE)
    assert fast == general
    for u in (s, t):  # what copies and pickles read
        assert (type(u._bits), u._seed, u._domain, u._data) == (np.random.PCG64, None, None if u is s else WHOLE, data_of(params))
        assert (u._vectorized, u._check, u._logpdf) == (False, False, f)
    # None draws from numpy's global generator, a BitGenerator directly.
    for rs in (None, np.random.PCG64(3)):
        np.random.seed(5)
        a = LogConcaveSampler(f, starts=[1, 2.5], data=data_of(params), random_state=rs).rvs(4)
        np.random.seed(5)
        rs = np.random.PCG64(3) if rs is not None else None
        b = LogConcaveSampler(f, WHOLE, starts=[1, 2.5], data=data_of(params), random_state=rs).rvs(4)
        np.testing.assert_array_equal(a, b)


def test_only_the_plain_cases_take_the_fast_path(c_densities):
    f = c_densities.standard_normal_logpdf
    LogConcaveSampler(f, starts=0.0)
    rng = np.random.default_rng()
    assert _core.fresh_c(blank(), f, None, (0.5, 1), rng, False, None, False)
    for args in [(lambda x: -x * x, None, [0.5], rng, False, None, False),  # a Python callable
                 (f, WHOLE, [0.5], rng, False, None, False),
                 (f, None, np.array([0.5]), rng, False, None, False),
                 (f, None, [0.5] * 9, rng, False, None, False),
                 (f, None, [math.inf], rng, False, None, False),
                 (f, None, [10 ** 400], rng, False, None, False),
                 (f, None, [0.5], 7, False, None, False),  # a seed makes a generator
                 (f, None, [0.5], rng, 0, None, False),
                 (f, None, [0.5], rng, False, 0, False),
                 (f, None, [0.5], rng, False, None, True)]:
        s = blank()
        assert not _core.fresh_c(s, *args)
        assert not hasattr(s, "_core")


def test_fast_and_general_paths_fail_alike(c_densities):
    f, g = c_densities.normal_logpdf_with_data, c_densities.gamma3_logpdf
    params = (ctypes.c_double * 2)(0.0, 1.0)

    def message(logpdf, **kwargs):
        with pytest.raises(Exception) as fast:
            LogConcaveSampler(logpdf, **kwargs)
        with pytest.raises(Exception) as general:
            LogConcaveSampler(logpdf, WHOLE, **kwargs)
        assert (type(fast.value), str(fast.value)) == (type(general.value), str(general.value))
        return str(fast.value)

    LogConcaveSampler(g, starts=1.0)
    assert "logpdf" in message(g, starts=[-1.0])  # -inf at the start
    assert "outside the domain" in message(g, starts=[math.nan])
    LogConcaveSampler(f, starts=1.0, data=data_of(params))
    assert "no data was given" in message(f, starts=[1.0])
    # A ctypes function whose types change after a first use is recognised again.
    lib = ctypes.CDLL(os.environ["ARS_TEST_C_DENSITIES"])
    h = lib.normal_logpdf_with_data
    h.restype, h.argtypes = ctypes.c_double, [ctypes.c_double, ctypes.c_void_p]
    LogConcaveSampler(h, starts=1.0, data=data_of(params))
    h.argtypes = [ctypes.c_double]
    assert "takes no data pointer" in message(h, starts=[1.0], data=data_of(params))


def test_update_and_rvs_take_their_arguments_as_before(c_densities):
    f = c_densities.standard_normal_logpdf
    s = LogConcaveSampler(f, starts=0.0, random_state=1)
    t = LogConcaveSampler(f, starts=0.0, random_state=1)
    assert s.update(1) == t.update(np.float64(1.0))
    for rs in (3, np.random.SeedSequence(3)):
        assert s.update(0.5, random_state=rs) == t.update(0.5, np.random.default_rng(3))
        assert s.rvs(random_state=rs) == t.rvs(random_state=np.random.PCG64(3))
    with pytest.raises(TypeError, match="start must be a number, not 'a'"):
        s.update("a")
    with pytest.raises(TypeError, match="random_state must be None, an int"):
        s.update(0.5, random_state="a")
    with pytest.raises(TypeError, match="random_state must be None, an int"):
        s.rvs(random_state=1.5)
    # Samplers made in turn on two generators each draw from their own.
    g1, g2 = np.random.default_rng(4), np.random.default_rng(4)
    a = [LogConcaveSampler(f, starts=[0.0], random_state=g).rvs() for g in (g1, g2) * 5]
    assert a[0::2] == a[1::2]
    # A fast-built sampler pickles (its logpdf does not: the message says so).
    with pytest.raises(TypeError, match="does not pickle"):
        pickle.dumps(LogConcaveSampler(f, starts=[0.0], random_state=g1))


def test_a_fresh_sampler_on_a_let_go_engine_draws_as_a_new_one(c_densities):
    # C samplers reuse the engine of the last one let go; Python callables never do.
    params = (ctypes.c_double * 2)(0.0, 1.0)
    p = [0.0, 1.0]

    def logpdf(x):  # the operations of the C function, in its order
        z = (x - p[0]) / p[1]
        return -0.5 * z * z

    f = c_densities.normal_logpdf_with_data
    big = LogConcaveSampler(f, starts=[0.0], data=data_of(params), random_state=1)
    big.rvs(5000)  # an engine with many points, then let go
    del big
    rc, rp = np.random.default_rng(9), np.random.default_rng(9)
    x = y = 0.0
    for i in range(500):
        params[0] = p[0] = x / 2
        params[1] = p[1] = 1.0 + (i % 3)
        s = LogConcaveSampler(f, starts=[x], data=data_of(params), random_state=rc)
        t = LogConcaveSampler(logpdf, starts=[y], random_state=rp)
        x, y = s.rvs(), t.rvs()
        assert (x, s.evaluations, s.hat_area) == (y, t.evaluations, t.hat_area)
        np.testing.assert_array_equal(s.points[0], t.points[0])
