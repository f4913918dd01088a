"""Every error the module reports, and exceptions of the caller's logpdf."""
import ctypes
import math

import numpy as np
import pytest
from scipy import stats

from adaptive_rejection import LogConcaveSampler, NotLogConcaveError, TConcaveSampler


def normal(x):
    return -0.5 * x * x


@pytest.mark.parametrize("logpdf, domain", [
    (lambda x: -math.log1p(x * x), None),            # Cauchy: tails too heavy
    (lambda x: x, (0.0, math.inf)),                  # e^x on [0, inf)
    (lambda x: 0.5 * x * x, (-1.0, 2.0)),            # convex
])
def test_not_log_concave_is_a_value_error_with_the_reason(logpdf, domain):
    with pytest.raises(NotLogConcaveError) as e:
        s = LogConcaveSampler(logpdf, domain, random_state=1)
        s.rvs(10000)
    assert isinstance(e.value, ValueError) and str(e.value)


@pytest.mark.parametrize("kwargs", [
    dict(domain=(1.0, 0.0)), dict(domain=(0.0, 0.0)), dict(domain=(math.nan, 1.0)),
    dict(domain=(0.0,)),
    dict(domain=(0.0, 1.0), starts=[2.0]), dict(starts=[math.inf]), dict(starts=[[0.0, 1.0]]),
])
def test_bad_domain_or_starts(kwargs):
    with pytest.raises(ValueError):
        LogConcaveSampler(normal, **kwargs)


@pytest.mark.parametrize("kwargs", [
    dict(domain="ab"), dict(domain=(0.0, "x")), dict(domain=(b"0", b"1")), dict(domain=("0", 1.0)),
    dict(starts="0"), dict(starts=["0"]), dict(starts=[b"1", 0.5]),
])
def test_strings_are_not_numbers(kwargs):
    # float() would parse them; numpy and scipy refuse them as numbers.
    with pytest.raises(TypeError):
        LogConcaveSampler(normal, **kwargs)
    s = LogConcaveSampler(normal, starts=0.0, random_state=1)
    for start in ("1", b"1", [1.0], None):
        with pytest.raises(TypeError, match="start"):
            s.update(start)


@pytest.mark.parametrize("returned, named", [
    (lambda x: np.array(["a"] * len(x)), "dtype <U1"),
    (lambda x: np.array(["1.5"] * len(x)), "dtype <U3"),  # would parse as 1.5
    (lambda x: {"a": 1.0}, "dict"),
    (lambda x: None, "NoneType"),
])
def test_vectorized_logpdf_returning_no_numbers_is_a_type_error(returned, named):
    for starts in ([0.0, 1.0], None):  # evaluated ahead in one call, or one at a time
        with pytest.raises(TypeError, match="logpdf.*" + named):
            LogConcaveSampler(returned, vectorized=True, starts=starts)
    with pytest.raises(TypeError, match="logpdf must return a number; it returned a str"):
        LogConcaveSampler(lambda x: "high")


@pytest.mark.parametrize("logpdf", [lambda x: math.nan, lambda x: -math.nan,
                                    lambda x: 0.0 if x == 0.0 else -math.nan])
def test_messages_name_logpdf_and_print_nan_plainly(logpdf):
    for make in (LogConcaveSampler, TConcaveSampler):
        with pytest.raises(ValueError) as e:
            make(logpdf)
        assert "logpdf" in str(e.value) and "logDensity" not in str(e.value)
        assert "nan" in str(e.value) and "-nan" not in str(e.value)


def test_rvs_after_the_density_changed_points_to_update():
    mean = [0.0]
    s = LogConcaveSampler(lambda x: -0.5 * (x - mean[0]) ** 2, random_state=1)
    s.rvs(20)
    mean[0] = 30.0  # a new conditional, without update()
    with pytest.raises(NotLogConcaveError, match=r"changed since the envelope.*update\(start\)"):
        s.rvs(1000)
    assert abs(s.update(0.0) - 30.0) < 8  # the way to move


def test_a_density_that_is_not_log_concave_is_not_called_changed():
    with pytest.raises(NotLogConcaveError) as e:
        LogConcaveSampler(lambda x: -math.log1p(x * x), random_state=1).rvs(100000)
    assert "changed" not in str(e.value)


def test_bad_values_of_the_log_density():
    with pytest.raises(ValueError):
        LogConcaveSampler(lambda x: math.nan)
    with pytest.raises(ValueError):  # a start where the density is zero
        LogConcaveSampler(lambda x: -math.inf if x < 0 else -x, starts=[-1.0])
    with pytest.raises(ValueError):
        LogConcaveSampler(lambda x: np.array([1.0, 2.0]), starts=[0.0], vectorized=True)


def test_wrong_arguments_are_type_errors():
    with pytest.raises(TypeError):
        LogConcaveSampler(3.0)
    with pytest.raises(TypeError):
        LogConcaveSampler(stats.gamma)  # not frozen: no support without a shape
    with pytest.raises(TypeError):
        LogConcaveSampler(normal, random_state="seed")
    with pytest.raises(TypeError):
        LogConcaveSampler(lambda x: "high")


class Stop(Exception):
    pass


def test_exception_of_the_logpdf_propagates_unchanged():
    raised = Stop("from the caller")

    def at_once(x):
        raise raised

    with pytest.raises(Stop) as e:
        LogConcaveSampler(at_once)
    assert e.value is raised

    calls = []

    def later(x):
        calls.append(x)
        if len(calls) > 12:
            raise raised
        return -0.5 * x * x

    s = LogConcaveSampler(later, random_state=1)
    with pytest.raises(Stop) as e:
        s.rvs(100000)
    assert e.value is raised
    with pytest.raises(Stop):  # still usable: the next evaluation raises again
        s.rvs(100000)


def test_logpdf_reaching_back_into_its_own_sampler_is_refused():
    box = {}

    def recursive(x):
        if "s" in box:
            box["s"].rvs()
        return -0.5 * x * x

    box["s"] = s = LogConcaveSampler(recursive, random_state=1)
    with pytest.raises(RuntimeError):
        s.rvs(100000)


def test_c_function_with_the_wrong_signature(c_densities):
    f = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_double)(lambda x: 0)
    with pytest.raises(ValueError):
        LogConcaveSampler(f)
    raw = ctypes.CDLL(None).abs  # argtypes never set
    with pytest.raises(ValueError):
        LogConcaveSampler(raw)
    with pytest.raises(ValueError):
        LogConcaveSampler(c_densities.standard_normal_logpdf, vectorized=True)
