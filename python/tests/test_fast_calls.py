"""The one-call paths of a Gibbs update (a fresh sampler of the C function
recognised last, update, rvs) against the general path they stand in for."""
import concurrent.futures
import ctypes
import inspect
import math
import os
import pickle

import numpy as np
import pytest

from adaptive_rejection import LogConcaveSampler, NotLogConcaveError, _core

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


def test_fresh_samplers_read_the_data_each_is_given(c_densities):
    # Three buffers in turn, their addresses as new ints and as the same
    # ones: each sampler reads its own, however its address was read last.
    f = c_densities.normal_logpdf_with_data
    buffers = [(ctypes.c_double * 2)(m, 0.01) for m in (-50.0, 0.0, 50.0)]
    addresses = [data_of(b) for b in buffers]
    rng = np.random.default_rng(4)
    LogConcaveSampler(f, starts=[0.0], data=addresses[0], random_state=rng)
    for i in range(30):
        k = (i * 7) % 3
        address = addresses[k] if i % 2 else int(str(addresses[k]))  # a new int object
        x = LogConcaveSampler(f, starts=[buffers[k][0] + 0.005], data=address, random_state=rng).rvs()
        assert abs(x - buffers[k][0]) < 0.1


def test_calls_of_the_class_in_any_other_shape_go_the_general_way(c_densities):
    f = c_densities.normal_logpdf_with_data
    params = (ctypes.c_double * 2)(0.0, 1.0)
    address = data_of(params)
    # The same sampler whichever way the arguments come.
    ways = [lambda rng: LogConcaveSampler(f, starts=[0.5], data=address, random_state=rng),
            lambda rng: LogConcaveSampler(f, None, starts=(0.5,), data=address, random_state=rng),
            lambda rng: LogConcaveSampler(logpdf=f, starts=0.5, data=address, random_state=rng),
            lambda rng: LogConcaveSampler(f, **{"starts": [0.5], "data": address, "random_state": rng}),
            lambda rng: LogConcaveSampler(f, WHOLE, starts=[0.5], data=address, random_state=rng)]
    draws = [make(np.random.default_rng(3)).rvs() for make in ways]
    assert draws == [draws[-1]] * len(ways)
    # Wrong calls get Python's own messages.
    for call, message in [(lambda: LogConcaveSampler(), "missing 1 required positional argument: 'logpdf'"),
                          (lambda: LogConcaveSampler(f, None, None), "takes from 2 to 3 positional"),
                          (lambda: LogConcaveSampler(f, None, domain=None), "multiple values for argument 'domain'"),
                          (lambda: LogConcaveSampler(f, starts=[0.5], bogus=1), "unexpected keyword argument 'bogus'")]:
        with pytest.raises(TypeError, match=message):
            call()


def test_subclasses_and_a_replaced_init_are_honoured(c_densities, monkeypatch):
    f = c_densities.standard_normal_logpdf
    LogConcaveSampler(f, starts=0.0)

    class Tagged(LogConcaveSampler):
        __slots__ = ("tag",)

        def __init__(self, logpdf, **kwargs):
            super().__init__(logpdf, **kwargs)
            self.tag = "made"

    s = Tagged(f, starts=[0.5], random_state=np.random.default_rng(2))
    assert s.tag == "made"
    assert s.rvs() == LogConcaveSampler(f, starts=[0.5], random_state=np.random.default_rng(2)).rvs()
    made = []
    init = LogConcaveSampler.__init__
    monkeypatch.setattr(LogConcaveSampler, "__init__",
                        lambda self, *a, **k: (made.append(a), init(self, *a, **k))[1])
    LogConcaveSampler(f, starts=[0.5], random_state=np.random.default_rng(2))
    assert made == [(f,)]


def test_one_draw_takes_rvs_arguments_as_before(c_densities):
    f = c_densities.standard_normal_logpdf
    LogConcaveSampler(f, starts=0.0)

    def draws(call):
        s = LogConcaveSampler(f, starts=[0.5], random_state=np.random.default_rng(6))
        return [call(s), s.rvs()]

    one = draws(lambda s: s.rvs())
    for call in (lambda s: s.rvs(None), lambda s: s.rvs(None, None), lambda s: s.rvs(size=None),
                 lambda s: s.rvs(random_state=None), lambda s: s.rvs(None, random_state=None),
                 lambda s: LogConcaveSampler.rvs(s)):
        assert draws(call) == one
    assert draws(lambda s: s.rvs(1)[0]) == one  # the general path, the same stream
    for call, message in [(lambda s: s.rvs(None, None, None), "takes from 1 to 3 positional"),
                          (lambda s: s.rvs(None, size=None), "multiple values for argument 'size'"),
                          (lambda s: s.rvs(sizes=None), "unexpected keyword argument 'sizes'")]:
        with pytest.raises(TypeError, match=message):
            draws(call)
    with pytest.raises(AttributeError, match="_core"):
        blank().rvs()
    assert [(p.name, p.default) for p in inspect.signature(LogConcaveSampler.rvs).parameters.values()][1:] \
        == [("size", None), ("random_state", None)]
    assert "Draw from the density" in LogConcaveSampler.rvs.__doc__


def test_one_draw_says_when_the_density_changed():
    mean = [0.0]
    s = LogConcaveSampler(lambda x: -0.5 * (x - mean[0]) ** 2, random_state=1)
    s.rvs(20)
    mean[0] = 30.0  # a new conditional, without update()
    with pytest.raises(NotLogConcaveError, match=r"changed since the envelope.*update\(start\)") as e:
        for _ in range(1000):
            s.rvs()
    assert isinstance(e.value.__cause__, NotLogConcaveError)
    with pytest.raises(NotLogConcaveError) as e:
        s = LogConcaveSampler(lambda x: -math.log1p(x * x), random_state=1)
        for _ in range(100000):
            s.rvs()
    assert "changed" not in str(e.value)


def test_a_sampler_let_go_lends_its_engine_only_when_nothing_holds_it(c_densities):
    f = c_densities.normal_logpdf_with_data
    params = (ctypes.c_double * 2)(0.0, 1.0)
    address = data_of(params)

    def fresh(x, rng):
        return LogConcaveSampler(f, starts=[x], data=address, random_state=rng)

    kept = fresh(0.5, np.random.default_rng(1))
    kept.rvs(50)
    points, hat = kept.points[0].tolist(), kept.hat_area
    core = fresh(0.5, None)._core  # held past its sampler
    core_points = core.points[0].tolist()
    big = fresh(0.0, np.random.default_rng(1))
    big.rvs(5000)  # an engine with many points, then let go
    del big
    params[0] = 3.0  # new samplers of another density, which take over let-go engines
    for i in range(20):
        s = fresh(3.0 + i / 10, np.random.default_rng(i))
        t = LogConcaveSampler(f, WHOLE, starts=[3.0 + i / 10], data=address, random_state=np.random.default_rng(i))
        assert (s.rvs(), s.evaluations, s.points[0].tolist()) == (t.rvs(), t.evaluations, t.points[0].tolist())
        del s, t
    assert (kept.points[0].tolist(), kept.hat_area) == (points, hat)
    assert core.points[0].tolist() == core_points
    # One let go and built again from another generator draws from that one.
    g = np.random.default_rng(5)
    for rs in (np.random.default_rng(4), g.bit_generator, g):
        s = fresh(3.0, rs)
        assert (s._bits, s._seed, s.rvs(2).shape) == (getattr(rs, "bit_generator", rs), None, (2,))
        assert s._core.repeatable_draws == 2


def test_update_takes_its_arguments_as_before(c_densities):
    f = c_densities.standard_normal_logpdf

    def chain(call):
        s = LogConcaveSampler(f, starts=[0.5], random_state=np.random.default_rng(6))
        return [call(s, 0.5), call(s, 1.5)]

    plain = chain(lambda s, x: s.update(x))
    for call in (lambda s, x: s.update(x, None), lambda s, x: s.update(x, random_state=None),
                 lambda s, x: s.update(start=x), lambda s, x: LogConcaveSampler.update(s, x)):
        assert chain(call) == plain
    assert chain(lambda s, x: s.update(x, np.random.default_rng(1))) == \
        chain(lambda s, x: s.update(x, random_state=np.random.PCG64(1)))
    for call, message in [(lambda s, x: s.update(), "missing 1 required positional argument: 'start'"),
                          (lambda s, x: s.update(x, None, None), "takes from 2 to 3 positional"),
                          (lambda s, x: s.update(x, start=x), "multiple values for argument 'start'")]:
        with pytest.raises(TypeError, match=message):
            chain(call)
    assert [p.name for p in inspect.signature(LogConcaveSampler.update).parameters.values()][1:] \
        == ["start", "random_state"]
    assert "One update of a Gibbs sampler" in LogConcaveSampler.update.__doc__


def test_threads_making_fresh_samplers_each_get_their_own(c_densities):
    f = c_densities.normal_logpdf_with_data
    params = (ctypes.c_double * 2)(1.0, 2.0)
    address = data_of(params)

    def chain(seed, general, n=400):
        rng, x, out = np.random.default_rng(seed), 0.0, []
        for _ in range(n):
            s = LogConcaveSampler(f, *general, starts=[x], data=address, random_state=rng)
            x = s.rvs()
            out.append((x, s.evaluations))
            del s  # its engine free for the next, in whichever thread
        return out

    expected = [chain(seed, [WHOLE]) for seed in range(4)]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        got = list(pool.map(lambda seed: chain(seed, []), range(4)))
    assert got == expected
