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


def number(value, what):
    """float(value) for a real number; a string (which float() would parse)
    or anything else is a TypeError naming `what`."""
    kind = type(value)
    if kind is float or kind is int:
        return float(value)
    if isinstance(value, (str, bytes, bytearray, complex)) or \
            getattr(value, "dtype", np.dtype(float)).kind not in "biuf":
        raise TypeError("%s must be a number, not %r" % (what, value))
    try:
        return float(value)
    except (TypeError, ValueError):
        raise TypeError("%s must be a number, not %r" % (what, value)) from None


def domain(given):
    if isinstance(given, (str, bytes, bytearray)):
        raise TypeError("domain must be a pair (lower, upper) of numbers, not %r" % (given,))
    try:
        lower, upper = given
    except (TypeError, ValueError):
        raise ValueError("domain must be a pair (lower, upper) of numbers, not %r"
                         % (given,)) from None
    lower, upper = number(lower, "domain's lower end"), number(upper, "domain's upper end")
    if not lower < upper:  # also NaN
        raise ValueError("domain must have lower < upper; got (%r, %r)" % (lower, upper))
    return lower, upper


def _few_floats(starts):
    kind = type(starts)
    if kind is float or kind is int:
        return [float(starts)]
    if (kind is list or kind is tuple) and len(starts) <= _FEW:
        xs = []
        for x in starts:
            if type(x) is not float and type(x) is not int:
                return None  # the general path names what is wrong
            xs.append(float(x))
        return xs
    return None


def floats(given, what):
    """A sequence of real numbers (or one) as a list of floats; strings,
    nested sequences and non-numbers are refused, naming `what`."""
    if isinstance(given, (str, bytes, bytearray)):
        raise TypeError("%s must be a sequence of numbers, not %r" % (what, given))
    a = np.asarray(given)
    if a.dtype.kind not in "biuf":
        raise TypeError("%s must be a sequence of numbers, not %r" % (what, given))
    if a.ndim > 1:
        raise ValueError("%s must be a sequence of numbers, not of shape %s" % (what, a.shape))
    return a.astype(float).reshape(-1).tolist()


def starts(given, lower, upper):
    """The starting abscissae as a list of floats inside [lower, upper]."""
    if given is None:
        return []
    xs = _few_floats(given)
    if xs is None:
        xs = floats(given, "starts")
    for x in xs:
        if not (lower <= x <= upper and math.isfinite(x)):
            raise ValueError("starting point %r lies outside the domain [%r, %r]"
                             % (x, lower, upper))
    return xs


def check_count(check):
    """The evaluations a check= argument asks for: True is 8."""
    if check is True:
        return 8
    if isinstance(check, bool) or not isinstance(check, (int, np.integer)) or check < 0:
        raise ValueError("check must be True, False or a number of evaluations >= 0, "
                         "not %r" % (check,))
    return int(check)


_MAX_SCAN = 1000000


def scan(given):
    """(from, to, points) of a scan= argument: finite from < to, points a
    whole number, 0 (no scan) or 2 to 1000000."""
    form = "scan must be (from, to, points): finite from < to and 0 or 2 to %d points" % _MAX_SCAN
    if isinstance(given, (str, bytes, bytearray)) or not hasattr(given, "__len__") or len(given) != 3:
        raise TypeError("%s, not %r" % (form, given))
    lo, hi = number(given[0], "scan's from"), number(given[1], "scan's to")
    if not (math.isfinite(lo) and math.isfinite(hi) and lo < hi):
        raise ValueError("%s; got from = %r, to = %r" % (form, lo, hi))
    points = given[2]
    if isinstance(points, bool) or not isinstance(points, (int, np.integer)):
        raise TypeError("%s; points must be a whole number, not %r" % (form, points))
    if not (points == 0 or 2 <= points <= _MAX_SCAN):
        raise ValueError("%s; got points = %r" % (form, points))
    return lo, hi, int(points)
