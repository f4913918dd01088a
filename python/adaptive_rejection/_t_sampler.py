"""TConcaveSampler: heavy tails and densities with inflection points."""
import math

import numpy as np

from . import _arguments, _core
from ._callables import c_call, c_function
from ._copying import CopyableSampler, own_seed
from ._drawing import DrawingSampler
from ._random_state import bit_generator

_TRANSFORMS = {0.0: "log f", -0.5: "-1/sqrt(f)"}


def _splits(given, lower, upper):
    if given is None:
        return []
    if isinstance(given, str) and given == "auto":
        return "auto"
    xs = _arguments.floats(given, "splits")
    for i, x in enumerate(xs):
        if not (lower < x < upper and math.isfinite(x)):
            raise ValueError("split point %r lies outside the open domain (%r, %r)" % (x, lower, upper))
        if i and not x > xs[i - 1]:
            raise ValueError("splits must increase; got %r after %r" % (x, xs[i - 1]))
    return xs


class TConcaveSampler(CopyableSampler, DrawingSampler):
    """Exact draws from a density that is concave after a transformation T.

    With ``c=-0.5``, T(f) = -1/sqrt(f): every log-concave density, and heavy
    tails such as the Cauchy and the Student t with nu >= 1. With ``c=0``,
    T = log. Without derivatives: a hull of secants of T(f) through the
    evaluated points is the hat, their chords the squeeze, and every candidate
    that needs an evaluation of `logpdf` refines both.

    Parameters
    ----------
    logpdf : callable, C function or distribution
        The log-density up to an additive constant, as for LogConcaveSampler.
    domain : (float, float), optional
        The support; either end may be infinite. Defaults to the
        distribution's ``support()``, else the whole real line.
    c : {-0.5, 0}, optional
        The transformation: -0.5 for T(f) = -1/sqrt(f) (the default), 0 for log.
    splits : sequence of float, optional
        Increasing points inside the domain where T(f) changes between concave
        and convex, e.g. the inflection points of log f for a mixture with
        ``c=0``. Each piece between them is found concave or convex from its
        evaluated points; a piece reaching an infinite end must be concave.
        ``"auto"`` finds them from the evaluations: construction then costs
        some 4-6 times the evaluations, and a mode no evaluation comes near
        is missed (see `scan`).
    scan : (float, float, int), optional
        With ``splits="auto"`` only: ``(from, to, points)`` evaluates `logpdf`
        on an even grid of `points` over [from, to] at construction and at
        every update, so that a mode in that range is found however small.
    starts : sequence of float, optional
        Abscissae inside the domain where `logpdf` is finite, e.g. the previous
        state of a Gibbs chain.
    random_state : None, int, numpy.random.Generator or BitGenerator, optional
        Where uniforms come from unless `rvs` is given another, as for
        LogConcaveSampler.
    vectorized : bool, optional
        `logpdf` takes and returns numpy arrays, as for LogConcaveSampler.
    data : int, ctypes object or numpy array, optional
        For a C function ``double (double, void *)``, as for LogConcaveSampler.
    check : bool or int, optional
        Look for a proof that the density is outside the class at
        construction: evaluates `logpdf` at `check` more abscissae (True: 8)
        at evenly spaced quantiles of the hat, counted in `evaluations`,
        adds them to the points, and raises NotLogConcaveError if the points
        together are not T-concave (with splits: a piece neither concave nor convex,
        or convex towards an infinite end). A density can still pass where
        it is in the class at every point evaluated.

    Notes
    -----
    Drawing is exact for a density in the class. For one that is not, the
    sampler raises NotLogConcaveError once its evaluated points show it;
    with few points -- a fresh sampler per Gibbs update that draws once --
    many such densities go unnoticed and the draws are wrong. Use `check`
    where T-concavity is not certain. Copies and pickles behave as
    LogConcaveSampler's.

    Raises
    ------
    NotLogConcaveError
        The evaluated points prove T(f) not concave (or, with splits, a piece
        neither concave nor convex, or a convex piece reaching an infinite
        end); the message names the transformation and the points. `rvs` may
        raise it later, when a draw uncovers this.
    ValueError
        A bad domain, c, split or starting point; `logpdf` NaN or +inf.

    Examples
    --------
    >>> import numpy as np
    >>> from adaptive_rejection import TConcaveSampler
    >>> t3 = TConcaveSampler(lambda x: -2.0 * np.log1p(x * x / 3), random_state=1)
    >>> t3.rvs(size=4).shape
    (4,)
    """

    __slots__ = ("_core", "_logpdf", "_bits", "_domain", "_c", "_splits", "_data",
                 "_vectorized", "_check", "_seed", "_starts", "_scan")

    def __init__(self, logpdf, domain=None, *, c=-0.5, splits=None, starts=None,
                 random_state=None, vectorized=False, data=None, check=False, scan=None):
        f, default_domain = _arguments.log_density(logpdf)
        lower, upper = _arguments.domain(default_domain if domain is None else domain)
        if isinstance(c, bool) or not isinstance(c, (int, float, np.number)) or float(c) not in _TRANSFORMS:
            raise ValueError("c must be 0 (T = log f) or -0.5 (T = -1/sqrt(f)), not %r" % (c,))
        cuts = _splits(splits, lower, upper)
        automatic = cuts == "auto"
        if scan is not None and not automatic:
            raise ValueError("scan serves only splits=\"auto\", not splits=%r" % (splits,))
        grid = (0.0, 0.0, 0) if scan is None else _arguments.scan(scan)
        engine_cuts = [] if automatic else cuts
        xs = _arguments.starts(starts, lower, upper)
        bits = bit_generator(random_state)
        found = c_function(f)
        if found is not None:
            if vectorized:
                raise ValueError("vectorized=True applies to Python callables, not C functions")
            self._core = _core.TSampler.from_c(*c_call(logpdf, found, data), lower, upper,
                                               float(c), engine_cuts, xs, bits, automatic, *grid)
        elif data is not None:
            raise ValueError("data= is for C functions 'double (double, void *)', not %r" % (logpdf,))
        else:
            self._core = _core.TSampler.from_python(f, bool(vectorized), lower, upper, float(c),
                                                    engine_cuts, xs, bits, automatic, *grid)
        self._logpdf = logpdf
        self._bits = None if random_state is None else bits
        self._domain = domain
        self._c = float(c)
        self._splits = cuts
        self._data = data
        self._vectorized = vectorized
        self._check = check
        self._seed = own_seed(random_state)
        self._starts = xs
        self._scan = None if scan is None else grid
        if check:
            self._core.check(_arguments.check_count(check))

    def update(self, start, random_state=None):
        """One update of a Gibbs sampler: the next conditional, then one draw.

        As LogConcaveSampler.update: the sampler moves to the density
        `logpdf` now describes (same domain, transformation, splits and scan), its
        first probes placed at the scale the last envelope learned either
        side of `start`, and draws once. Exact whatever the new density;
        `evaluations` counts from the update on; `check` is not repeated.

        Parameters
        ----------
        start : float
            The chain's current value, inside the domain with `logpdf`
            finite there.
        random_state : None, int, numpy.random.Generator or BitGenerator, optional
            Where the uniforms come from for this call; None uses the
            sampler's own.

        Returns
        -------
        float
            One draw from the new conditional.
        """
        x = _arguments.number(start, "start")
        bits = None if random_state is None else bit_generator(random_state)
        return self._core.update(x, bits)

    def _rebuild_kwargs(self):
        return {"domain": self._domain, "c": self._c, "splits": self._splits, "data": self._data,
                "vectorized": self._vectorized, "check": self._check, "scan": self._scan}

    def _rebuild_starts(self):
        # Points at a finite end of a convex piece are not valid starts.
        lower, upper = self.domain
        return [x for x in self._core.points[0].tolist() if lower < x < upper]


    @property
    def c(self):
        """float: The transformation: 0 for log, -0.5 for -1/sqrt(f)."""
        return self._c

    @property
    def splits(self):
        """list of float: The split points between pieces: as given, or with
        ``splits="auto"`` those found so far (draws may find more)."""
        if self._splits == "auto":
            return self._core.splits
        return list(self._splits)

    @property
    def scan(self):
        """(float, float, int) or None: The scan as given."""
        return self._scan

    @property
    def hat_area(self):
        """float: Integral of the hat, an upper bound on that of exp(logpdf)."""
        return math.exp(self._core.log_hat_area)

    @property
    def squeeze_area(self):
        """float: Integral of the squeeze, a lower bound on that of exp(logpdf)."""
        return math.exp(self._core.log_squeeze_area)

    @property
    def squeeze_hat_ratio(self):
        """float: squeeze_area / hat_area, the share of draws decided without evaluating."""
        return math.exp(self._core.log_squeeze_area - self._core.log_hat_area)

    @property
    def evaluations(self):
        """int: Calls of logpdf since construction or the last update, the search included."""
        return self._core.evaluations

    @property
    def domain(self):
        """(float, float): The domain."""
        return self._core.limits

    @property
    def hull(self):
        """(ndarray, ndarray): Vertices of the hat in log units, for ``plt.plot(*s.hull)``."""
        return self._core.hull

    @property
    def squeeze(self):
        """(ndarray, ndarray): Vertices of the squeeze in log units."""
        return self._core.squeeze

    def __repr__(self):
        scan = "" if self._scan is None else ", scan=%r" % (self._scan,)
        return "TConcaveSampler(%r, domain=%r, c=%r, splits=%r%s)" % (
            self._logpdf, self.domain, self._c, self._splits, scan)
