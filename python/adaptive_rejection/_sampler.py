"""LogConcaveSampler: the engine with a scipy.stats.sampling-style interface."""
import math

import numpy as np

from . import _core
from ._callables import c_function
from ._random_state import bit_generator

_WHOLE_LINE = (-math.inf, math.inf)


def _log_density(logpdf):
    """(callable, default domain) of a callable or a distribution object."""
    if hasattr(logpdf, "logpdf") and hasattr(logpdf, "support"):
        try:
            support = logpdf.support()
        except TypeError as e:
            raise TypeError("give the distribution its parameters (freeze it), "
                            "e.g. scipy.stats.gamma(2.5): %s" % e) from None
        return logpdf.logpdf, support
    if not callable(logpdf) and c_function(logpdf) is None:
        raise TypeError("logpdf must be a callable, a C function or an object with logpdf "
                        "and support(); got %s" % type(logpdf).__name__)
    return logpdf, _WHOLE_LINE


def _domain(domain):
    try:
        lower, upper = domain
        lower, upper = float(lower), float(upper)
    except (TypeError, ValueError):
        raise ValueError("domain must be a pair (lower, upper) of numbers, not %r"
                         % (domain,)) from None
    if not lower < upper:  # also NaN
        raise ValueError("domain must have lower < upper; got (%r, %r)" % (lower, upper))
    return lower, upper


def _starts(starts, lower, upper):
    if starts is None:
        return []
    xs = np.asarray(starts, dtype=float)
    if xs.ndim > 1:
        raise ValueError("starts must be a sequence of abscissae, not of shape %s" % (xs.shape,))
    xs = xs.reshape(-1)
    bad = ~np.isfinite(xs) | (xs < lower) | (xs > upper)
    if bad.any():
        raise ValueError("starting point %r lies outside the domain [%r, %r]"
                         % (float(xs[bad][0]), lower, upper))
    return xs.tolist()


class LogConcaveSampler:
    """Exact draws from a univariate log-concave density, without derivatives.

    Derivative-free adaptive rejection sampling: a hull of secants above the
    log-density and a squeeze of chords below it, both refined by every
    rejected candidate. Draws are exact; after a few evaluations to start,
    N draws cost about 5 N^(1/3) evaluations of `logpdf`, most draws none.

    Parameters
    ----------
    logpdf : callable, C function or distribution
        The log-density up to an additive constant, -inf where the density is
        zero. Either a Python callable ``f(x) -> float``; or a C function
        ``double (double)`` or ``double (double, void *)`` given as a
        `scipy.LowLevelCallable`, a ctypes or cffi function pointer, or a numba
        ``cfunc``, which is called without the interpreter; or an object with
        ``logpdf`` and ``support()`` such as ``scipy.stats.gamma(2.5)``.
    domain : (float, float), optional
        The support ``(lower, upper)``; either end may be infinite. Defaults
        to the distribution's ``support()``, else the whole real line.
    starts : sequence of float, optional
        Abscissae inside the domain where `logpdf` is finite, e.g. the
        previous state of a Gibbs chain; they replace the search for starting
        points.
    random_state : None, int, numpy.random.Generator or BitGenerator, optional
        Where uniforms come from unless `rvs` is given another: None is
        numpy's global generator (``numpy.random.seed`` repeats runs); an int
        or SeedSequence seeds PCG64 as ``numpy.random.default_rng`` does; a
        Generator, BitGenerator or RandomState is drawn from directly
        (holding its lock, as numpy does).
    vectorized : bool, optional
        `logpdf` takes and returns numpy arrays: the starting points are then
        evaluated in one call; other evaluations pass one-element arrays.

    Raises
    ------
    NotLogConcaveError
        The evaluated points prove the density not log-concave, or it cannot
        be integrated towards an infinite end; the message gives the reason.
        `rvs` may raise it later, when a draw uncovers this.
    ValueError
        A bad domain or starting point, or `logpdf` NaN or +inf.
    Exception
        Whatever `logpdf` raises propagates unchanged.

    Examples
    --------
    >>> import numpy as np
    >>> from adaptive_rejection import LogConcaveSampler
    >>> s = LogConcaveSampler(lambda x: -0.5 * x * x, domain=(1.0, np.inf),
    ...                       random_state=42)
    >>> s.rvs(size=(2, 3)).shape
    (2, 3)
    """

    __slots__ = ("_core", "_logpdf")

    def __init__(self, logpdf, domain=None, *, starts=None, random_state=None,
                 vectorized=False):
        f, default_domain = _log_density(logpdf)
        lower, upper = _domain(default_domain if domain is None else domain)
        xs = _starts(starts, lower, upper)
        bits = bit_generator(random_state)
        c = c_function(f)
        if c is not None:
            if vectorized:
                raise ValueError("vectorized=True applies to Python callables, not C functions")
            self._core = _core.Sampler.from_c(*c, lower, upper, xs, bits)
        else:
            self._core = _core.Sampler.from_python(f, bool(vectorized), lower, upper, xs, bits)
        self._logpdf = logpdf

    def rvs(self, size=None, random_state=None):
        """Draw from the density.

        Parameters
        ----------
        size : int or tuple of int, optional
            Shape of the result; None draws one float.
        random_state : None, int, numpy.random.Generator or BitGenerator, optional
            Where the uniforms come from for this call; None uses the
            sampler's own.

        Returns
        -------
        float or numpy.ndarray
            One draw, or an array of draws of shape `size`.
        """
        bits = None if random_state is None else bit_generator(random_state)
        if size is None:
            return self._core.draw(bits)
        out = np.empty(size, dtype=np.float64)
        self._core.fill(out, bits)
        return out

    @property
    def hat_area(self):
        """float: Integral of exp(hull) over the domain, an upper bound on that of exp(logpdf)."""
        return self._core.hat_area

    @property
    def squeeze_area(self):
        """float: Integral of exp(squeeze), a lower bound on that of exp(logpdf)."""
        return self._core.squeeze_area

    @property
    def squeeze_hat_ratio(self):
        """float: squeeze_area / hat_area, the share of draws decided without evaluating."""
        return self._core.squeeze_hat_ratio

    @property
    def log_hat_area(self):
        """float: log(hat_area), which never overflows."""
        return self._core.log_hat_area

    @property
    def log_squeeze_area(self):
        """float: log(squeeze_area), which never underflows."""
        return self._core.log_squeeze_area

    @property
    def evaluations(self):
        """int: Calls of logpdf so far, the search for starting points included."""
        return self._core.evaluations

    @property
    def domain(self):
        """(float, float): The domain, finite ends moved in to where logpdf was found -inf."""
        return self._core.limits

    @property
    def points(self):
        """(ndarray, ndarray): Abscissae of the evaluated points and logpdf there."""
        return self._core.points

    @property
    def hull(self):
        """(ndarray, ndarray): Vertices of the upper hull in log units, for ``plt.plot(*s.hull)``."""
        return self._core.hull

    @property
    def squeeze(self):
        """(ndarray, ndarray): Vertices of the squeeze (the chords) in log units."""
        return self._core.squeeze

    def __repr__(self):
        return "LogConcaveSampler(%r, domain=%r)" % (self._logpdf, self.domain)
