"""Draws as Dask arrays, and many chains on Dask workers, on independent streams.

Needs ``dask`` (its ``array`` part); `map_chains` on a cluster needs
``distributed``. Importing `adaptive_rejection` itself needs neither.

>>> import adaptive_rejection.dask as ard
>>> x = ard.rvs(stats.norm(), 10**7, chunks=10**6, random_state=1)  # doctest: +SKIP
>>> float(x.mean().compute())  # doctest: +SKIP

Every chunk (every chain) draws from its own stream, a child of one
``numpy.random.SeedSequence`` (``spawn``): the same seed and chunks give the
same array on any number of workers, and no two chunks share a stream.
What runs on a worker travels there by pickle, so a log-density must be a
function defined at module level (or a frozen scipy distribution); a
lambda, a closure or a C function pointer cannot travel.
"""
import copy
import itertools
import numbers
import pickle

import numpy as np

try:
    import cloudpickle as _cloudpickle
    import dask.array as _da
    from dask.base import tokenize as _tokenize
    from dask.highlevelgraph import HighLevelGraph as _HighLevelGraph
except ImportError as e:  # pragma: no cover - depends on what is installed
    raise ImportError("adaptive_rejection.dask needs dask with its array part "
                      "(Debian: python3-dask; pip: dask[array])") from e

from ._callables import c_function
from ._drawing import DrawingSampler
from ._random_state import bit_generator
from ._sampler import LogConcaveSampler

__all__ = ["rvs", "map_chains"]


def seed_sequence(random_state):
    """The SeedSequence whose children seed the chunks or the chains.

    An int or a SeedSequence is used as given; None draws the entropy from
    numpy's global generator (``numpy.random.seed`` repeats a run), a
    Generator, BitGenerator or RandomState from that generator (so two
    calls give different streams, and reseeding it repeats both).
    """
    if isinstance(random_state, np.random.SeedSequence):
        return random_state
    if isinstance(random_state, numbers.Integral) and not isinstance(random_state, bool):
        return np.random.SeedSequence(int(random_state))
    bits = bit_generator(random_state)  # raises the package's TypeError for the rest
    entropy = bits.random_raw(2)  # under the generator's lock
    return np.random.SeedSequence([int(v) for v in entropy])


def _check_travels(what, logpdf):
    """A TypeError naming `logpdf` unless it pickles, saying what would travel."""
    if c_function(logpdf) is not None:
        raise TypeError(
            "%s %r cannot be sent to Dask workers: a C function's address means nothing in "
            "another process. Call map_chains with a module-level run_chain that loads the "
            "library and builds the sampler on the worker" % (what, logpdf))
    try:
        pickle.dumps(logpdf)
    except Exception as e:  # pickle raises several kinds
        raise TypeError(
            "%s %r cannot be sent to Dask workers: it does not pickle (%s). Define it with def "
            "at module level, in a module the workers can import (a frozen scipy.stats "
            "distribution travels too); a lambda, a nested function or a closure cannot"
            % (what, logpdf, e)) from None


class _Recipe:
    """How a worker builds a chunk's sampler: a log-density and its options."""

    __slots__ = ("logpdf", "options")

    def __init__(self, logpdf, options):
        self.logpdf = logpdf
        self.options = options


# Samplers loaded from a payload, per process: the tasks of one array that run
# in one process share one load (a pickled sampler repeats its draws to load).
_loaded = {}


def _load(payload):
    found = _loaded.get(payload)
    if found is None:
        if len(_loaded) >= 8:
            _loaded.clear()
        found = _loaded[payload] = pickle.loads(payload)
    return found


def _draw_block(payload, seed, shape):
    """A chunk's draws, on the worker: a sampler of its own on the stream `seed`."""
    source = _load(payload)
    if isinstance(source, _Recipe):
        return LogConcaveSampler(source.logpdf, random_state=seed, **source.options).rvs(shape)
    # Tasks share the loaded sampler: each draws from a copy.
    return copy.copy(source).rvs(shape, random_state=np.random.PCG64(seed))


def _shape(size):
    if isinstance(size, numbers.Integral) and not isinstance(size, bool):
        shape = (int(size),)
    else:
        try:
            shape = tuple(size)
        except TypeError:
            raise TypeError("size must be an int or a tuple of ints, not %s"
                            % type(size).__name__) from None
    for n in shape:
        if not isinstance(n, numbers.Integral) or isinstance(n, bool) or n < 0:
            raise ValueError("size must hold non-negative ints, not %r" % (size,))
    return tuple(int(n) for n in shape)


def rvs(sampler_or_logpdf, size, *, chunks, random_state=None, **sampler_options):
    """A dask array of exact draws, each chunk drawn by its own sampler on its own stream.

    Parameters
    ----------
    sampler_or_logpdf : LogConcaveSampler, TConcaveSampler, callable or distribution
        A log-density (as `LogConcaveSampler` takes it), from which each chunk
        builds a sampler on its worker; or a sampler, which travels to the
        workers by pickle and is copied by each chunk, so that every chunk
        continues from its envelope.
    size : int or tuple of int
        Shape of the array.
    chunks : int, tuple or str
        Chunk shape, as ``dask.array`` takes it (``10**7``, ``(10**6, 2)``,
        ``"auto"``).
    random_state : None, int, SeedSequence, numpy.random.Generator or BitGenerator, optional
        The seed whose ``SeedSequence.spawn`` children seed the chunks, one
        each, in the array's block order: the same seed and chunks give the
        same array on any number of workers. None draws the seed from
        numpy's global generator.
    **sampler_options
        Keywords for `LogConcaveSampler` (``domain``, ``starts``,
        ``vectorized``, ``check``) when a log-density is given.

    Returns
    -------
    dask.array.Array
        float64 draws of shape `size`, computed where the graph runs (a
        ``distributed`` client's workers, or the local scheduler).

    Raises
    ------
    TypeError
        The log-density (or the sampler's) does not pickle, or is a C function.
    """
    shape = _shape(size)
    if isinstance(sampler_or_logpdf, DrawingSampler):
        if sampler_options:
            raise TypeError("rvs: %s apply to a log-density; a sampler is used as it is"
                            % ", ".join(sorted(sampler_options)))
        _check_travels("the sampler's logpdf", sampler_or_logpdf._logpdf)
        source = sampler_or_logpdf
    else:
        _check_travels("the log-density", sampler_or_logpdf)
        source = _Recipe(sampler_or_logpdf, dict(sampler_options))
        # Build one here: a wrong argument fails now, not on every worker.
        LogConcaveSampler(source.logpdf, random_state=0, **source.options)
    # Every chunk loads the same bytes, in this process or on a worker: one
    # envelope for all, even where a pickle rebuilds a sampler from its points.
    # cloudpickle takes functions of a script's __main__ by value.
    payload = _cloudpickle.dumps(source)
    normal = _da.core.normalize_chunks(chunks, shape, dtype=np.float64)
    blocks = list(itertools.product(*(range(len(c)) for c in normal)))
    seeds = seed_sequence(random_state).spawn(len(blocks))
    name = "adaptive-rejection-rvs-" + _tokenize(payload, [(s.entropy, s.spawn_key) for s in seeds],
                                                 normal)
    source_key = name + "-source"
    graph = {source_key: payload}
    for index, seed in zip(blocks, seeds):
        block_shape = tuple(c[i] for c, i in zip(normal, index))
        graph[(name,) + index] = (_draw_block, source_key, seed, block_shape)
    hlg = _HighLevelGraph.from_collections(name, graph, dependencies=())
    return _da.Array(hlg, name, normal, dtype=np.float64,
                     meta=np.empty((0,) * len(shape), dtype=np.float64))


def _default_client():
    try:
        from distributed import default_client
    except ImportError:
        return None
    try:
        return default_client()
    except ValueError:  # no client in this process
        return None


def map_chains(run_chain, n_chains, *, random_state=None, client=None):
    """``[run_chain(rng) for each chain]``, on Dask workers, each chain with its own generator.

    Parameters
    ----------
    run_chain : callable
        ``run_chain(rng) -> result``, given a ``numpy.random.Generator`` of
        its own (pass it as the samplers' `random_state`). It travels to the
        workers by pickle: a function defined at module level, which builds
        its samplers (and loads any C library) on the worker.
    n_chains : int
        How many chains.
    random_state : None, int, SeedSequence, numpy.random.Generator or BitGenerator, optional
        The seed whose ``SeedSequence.spawn`` children seed the chains' PCG64
        generators: the same seed gives the same results on any cluster.
    client : distributed.Client, optional
        Where the chains run; None takes the current ``distributed`` client
        if there is one (as ``dask.compute`` does), else runs them one after
        another in this process.

    Returns
    -------
    list
        The chains' results, in chain order.
    """
    if not isinstance(n_chains, numbers.Integral) or isinstance(n_chains, bool) or n_chains < 0:
        raise ValueError("n_chains must be a non-negative int, not %r" % (n_chains,))
    if not callable(run_chain):
        raise TypeError("run_chain must be callable, not %s" % type(run_chain).__name__)
    rngs = [np.random.Generator(np.random.PCG64(s))
            for s in seed_sequence(random_state).spawn(int(n_chains))]
    if client is None:
        client = _default_client()
    if client is None:
        return [run_chain(rng) for rng in rngs]
    futures = client.map(run_chain, rngs, pure=False)
    try:
        return client.gather(futures)
    finally:
        for f in futures:
            f.release()

