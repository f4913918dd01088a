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
NotLogConcaveError.__doc__ = """The density is outside the class the sampler draws exactly from.

A ValueError. Raised when evaluated points of `logpdf` prove the
log-density not concave (for TConcaveSampler: T(f) not concave, or a piece
between splits neither concave nor convex), or the density not integrable
towards an infinite end; the message names the points, or the end. A draw
can raise it after construction, when a candidate uncovers this. When
`logpdf` reads parameters that have changed since the envelope was built
(a closure's variables, a C function's data), `rvs` says so: a new
conditional takes ``update(start)``.

Only what is evaluated can be seen: a density outside the class can pass
unnoticed, above all with few points (one draw per fresh sampler); the
samplers' ``check=`` evaluates more points to look for a proof.
"""

__all__ = ["LogConcaveSampler", "NotLogConcaveError", "TConcaveSampler"]
__version__ = "2.0.0"
