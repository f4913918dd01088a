"""Checks of the constructor's arguments shared by the samplers."""
import math

import numpy as np

from ._callables import c_function

WHOLE_LINE = (-math.inf, math.inf)

# Up to this many starts are checked in plain Python: for the one start of a
# Gibbs update numpy's conversions would cost more than the whole sampler.
_FEW = 8


def log_density(logpdf):
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
    return logpdf, WHOLE_LINE


def domain(given):
    try:
        lower, upper = given
        lower, upper = float(lower), float(upper)
    except (TypeError, ValueError):
        raise ValueError("domain must be a pair (lower, upper) of numbers, not %r"
                         % (given,)) from None
    if not lower < upper:  # also NaN
        raise ValueError("domain must have lower < upper; got (%r, %r)" % (lower, upper))
    return lower, upper


def _few_floats(starts):
    kind = type(starts)
    if kind is float or kind is int:
        return [float(starts)]
    if (kind is list or kind is tuple) and len(starts) <= _FEW:
        try:
            return [float(x) for x in starts]
        except (TypeError, ValueError):
            return None  # numpy's conversion gives the error
    return None


def starts(given, lower, upper):
    """The starting abscissae as a list of floats inside [lower, upper]."""
    if given is None:
        return []
    xs = _few_floats(given)
    if xs is None:
        a = np.asarray(given, dtype=float)
        if a.ndim > 1:
            raise ValueError("starts must be a sequence of abscissae, not of shape %s"
                             % (a.shape,))
        xs = a.reshape(-1).tolist()
    for x in xs:
        if not (lower <= x <= upper and math.isfinite(x)):
            raise ValueError("starting point %r lies outside the domain [%r, %r]"
                             % (x, lower, upper))
    return xs
