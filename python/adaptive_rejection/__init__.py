"""Exact draws from log-concave densities by derivative-free adaptive rejection sampling.

>>> from adaptive_rejection import LogConcaveSampler
>>> LogConcaveSampler(lambda x: -x * x / 2, random_state=1).rvs(3).shape
(3,)

`LogConcaveSampler` takes a log-density as a Python callable, a C function
or a scipy.stats distribution, and draws with numpy's bit generators.
"""
from ._core import NotLogConcaveError
from ._sampler import LogConcaveSampler
from ._t_sampler import TConcaveSampler

NotLogConcaveError.__module__ = __name__

__all__ = ["LogConcaveSampler", "NotLogConcaveError", "TConcaveSampler"]
__version__ = "1.1.0"
