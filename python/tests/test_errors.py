"""Every error the module reports, and exceptions of the caller's logpdf."""
import ctypes
import math

import numpy as np
import pytest
from scipy import stats

from adaptive_rejection import LogConcaveSampler, NotLogConcaveError


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
    dict(domain=(0.0,)), dict(domain="ab"), dict(domain=(0.0, "x")),
    dict(domain=(0.0, 1.0), starts=[2.0]), dict(starts=[math.inf]), dict(starts=[[0.0, 1.0]]),
])
def test_bad_domain_or_starts(kwargs):
    with pytest.raises(ValueError):
        LogConcaveSampler(normal, **kwargs)


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
