"""LogConcaveSampler: the engine with a scipy.stats.sampling-style interface."""
from . import _arguments, _callables, _concavity_check, _core
from ._callables import c_call, c_function
from ._copying import CopyableSampler, own_seed
from ._drawing import DrawingSampler, failed_draw
from ._random_state import bit_generator, global_bit_generator

# The checks the engine's fast calls fall back on, so that they fail alike.
_core.use_checks(_arguments.number, bit_generator, global_bit_generator, _callables)


class LogConcaveSampler(CopyableSampler, DrawingSampler):
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
    data : int, ctypes object or numpy array, optional
        For a C function ``double (double, void *)``: what its data pointer
        points to (an int is the address itself, 0 a null pointer). Such a
        function is refused without it, unless it is a
        ``scipy.LowLevelCallable(f, user_data=...)``.
    check : bool or int, optional
        Look for a proof that the density is not log-concave at
        construction: evaluates `logpdf` at `check` more abscissae (True: 8)
        at evenly spaced quantiles of the hat, counted in `evaluations`, and
        raises NotLogConcaveError if they and the points already evaluated
        are not concave. Costs those evaluations and some 40 µs of Python;
        a density can still pass where it is log-concave at every point
        evaluated.

    Notes
    -----
    Drawing is exact for a log-concave density. For one that is not, the
    sampler raises NotLogConcaveError once its evaluated points show it, but
    with few points -- a fresh sampler per Gibbs update that draws once --
    most such densities go unnoticed and the draws are wrong. Use `check`
    where log-concavity is not certain.

    `copy.copy` and `copy.deepcopy` give independent samplers with the same
    envelope and a copy of the generator they draw from by default (so the
    same numbers until given another `random_state`); with
    ``random_state=None`` both keep drawing from numpy's global generator.
    Pickling works where `logpdf` pickles (a function defined at module
    level, a frozen scipy distribution). A sampler seeded with an int or a
    SeedSequence, that has drawn only from that generator, is rebuilt
    exactly: unpickling constructs it again and repeats its draws (at the
    engine's speed, evaluating `logpdf` only where the original did), so the
    copy has the same envelope and continues the same stream. Any other (a
    generator shared with the caller, draws given another `random_state`,
    an `update`) is rebuilt from its envelope's abscissae: exact draws, not
    the same envelope. `logpdf` must give the same values in the new process.

    Raises
    ------
    NotLogConcaveError
        The evaluated points prove the density not log-concave, or it cannot
        be integrated towards an infinite end; the message gives the reason.
        `rvs` may raise it later, when a draw uncovers this.
    ValueError
        A bad domain or starting point, `logpdf` NaN or +inf, a C function
        ``double (double, void *)`` without data.
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

    __slots__ = ("_core", "_logpdf", "_bits", "_domain", "_vectorized", "_data", "_check",
                 "_seed", "_starts")

    def __init__(self, logpdf, domain=None, *, starts=None, random_state=None,
                 vectorized=False, data=None, check=False):
        # A Gibbs update's fresh sampler: the C function recognised last,
        # with a few starts, is checked and built in one call.
        if _core.fresh_c(self, logpdf, domain, starts, random_state, vectorized, data, check):
            return
        f, default_domain = _arguments.log_density(logpdf)
        lower, upper = _arguments.domain(default_domain if domain is None else domain)
        xs = _arguments.starts(starts, lower, upper)
        bits = bit_generator(random_state)
        c = c_function(f)
        if c is not None:
            if vectorized:
                raise ValueError("vectorized=True applies to Python callables, not C functions")
            self._core = _core.Sampler.from_c(*c_call(logpdf, c, data), lower, upper, xs, bits)
        elif data is not None:
            raise ValueError("data= is for C functions 'double (double, void *)', not %r"
                             % (logpdf,))
        else:
            self._core = _core.Sampler.from_python(f, bool(vectorized), lower, upper, xs, bits)
        self._logpdf = logpdf
        self._bits = None if random_state is None else bits
        self._domain = domain
        self._vectorized = vectorized
        self._data = data
        self._check = check
        self._seed = own_seed(random_state)
        self._starts = xs
        if check:
            self._run_check(_arguments.check_count(check))

    def update(self, start, random_state=None):
        """One update of a Gibbs sampler: the next conditional, then one draw.

        The sampler moves to the density `logpdf` now describes -- a callable
        that reads the other coordinates from where it was made, or a C
        function whose `data` now holds the new parameters -- and draws once
        from it. The search starts from what the past conditionals taught
        the sampler (their mode and scale), so an update costs fewer
        evaluations of `logpdf` than a new sampler with ``starts=[start]``,
        and none of a new sampler's Python overhead.

        Parameters
        ----------
        start : float
            Where the search starts and, should it find no density where the
            past conditionals lay, looks first: the chain's current value,
            inside the domain with `logpdf` finite there.
        random_state : None, int, numpy.random.Generator or BitGenerator, optional
            Where the uniforms come from for this call; None uses the
            sampler's own.

        Returns
        -------
        float
            One draw from the new conditional. Exact whatever it is; the
            draw depends on the sampler's past updates as well as on the
            generator, so a seed repeats a whole chain run with new samplers.
            `evaluations` counts from the update on; `check` is not repeated.

        Notes
        -----
        `rvs` keeps drawing from the density the envelope was built for.
        After changing what `logpdf` reads, move with `update`: `rvs` would
        refine the old envelope with the new density's values (wrong draws),
        and raises NotLogConcaveError saying that the density changed only
        where a draw shows it.
        """
        return self._core.update(start, random_state)  # checks both, as number and bit_generator

    def _run_check(self, n):
        found = _concavity_check.check(self._core, n)
        if found is not None:
            raise _core.NotLogConcaveError(found)

    def _rebuild_kwargs(self):
        return {"domain": self._domain, "vectorized": self._vectorized, "data": self._data,
                "check": self._check}


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
    def evaluations(self):
        """int: Calls of logpdf since construction or the last update, the search included."""
        return self._core.evaluations

    @property
    def domain(self):
        """(float, float): The domain, finite ends moved in to where logpdf was found -inf."""
        return self._core.limits

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


# A Gibbs update's fresh sampler of a C function, its one draw and update()
# without the interpreter: the class called, rvs() and update() run in C for
# those arguments, and reach __init__ and the methods above for any others.
_core.use_fresh_calls(LogConcaveSampler, failed_draw)
