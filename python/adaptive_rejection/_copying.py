"""Copies and pickles of a sampler over the engine.

A copy (``copy.copy`` or ``copy.deepcopy``) is an independent sampler that
continues from the same envelope, with a copy of the generator it draws from
by default, as a copy of the C++ sampler does.

A pickle cannot hold the engine, so it holds how to make it again. A sampler
seeded with an int or a SeedSequence that has drawn only from that seed's
generator is rebuilt exactly: constructed as it was, then its draws repeated
(at the engine's speed, evaluating logpdf where the original did), so the
copy has the same envelope and continues the same stream. Any other sampler
(a shared generator, draws from another random_state, an update) is rebuilt
from its envelope's abscissae: exact draws, but not the same envelope.
"""
import copy
import numbers
import pickle

import numpy as np

from ._random_state import global_bit_generator

# Draws repeated at a time when a pickle is loaded: bounded memory.
_REPLAY_CHUNK = 1 << 16


def _slots(cls):
    for klass in cls.__mro__:
        for name in getattr(klass, "__slots__", ()):
            yield name


def own_seed(random_state):
    """The seed a pickle can make the sampler's generator from again: an int or
    a SeedSequence (the generator is then the sampler's alone), else None."""
    if random_state is None or type(random_state) is np.random.Generator:
        return None  # the common cases first: a Gibbs update makes a sampler each time
    if type(random_state) is int:
        return random_state
    if isinstance(random_state, numbers.Integral) and not isinstance(random_state, bool):
        return int(random_state)
    if isinstance(random_state, np.random.SeedSequence):
        return random_state
    return None


def _restore(cls, logpdf, kwargs, starts, bits):
    return cls(logpdf, starts=starts, random_state=bits, **kwargs)


def _replay(cls, logpdf, kwargs, starts, seed, drawn, bits):
    s = cls(logpdf, starts=starts, random_state=seed, **kwargs)
    scratch = np.empty(min(drawn, _REPLAY_CHUNK))
    left = drawn
    while left:
        m = min(left, _REPLAY_CHUNK)
        s._core.fill(scratch[:m], None)
        left -= m
    s._bits.state = bits.state  # the same already, unless numpy seeds differently
    return s


class CopyableSampler:
    """Mixin: copy, deepcopy and pickle for a sampler class that has

    - ``_core``: the engine, with ``copy(bit_generator)`` and ``points``;
    - ``_bits``: the BitGenerator it owns or was given, None for numpy's
      global one (which copies go on sharing, as random_state=None means);
    - ``_logpdf``: what the caller passed as logpdf;
    - ``_seed``, ``_starts``: the int or SeedSequence it was seeded with
      (else None) and its starts as given; the engine counts the draws
      since (``repeatable_draws``, None once they cannot be repeated);
    - ``_rebuild_kwargs()``: constructor keywords other than logpdf, starts
      and random_state that rebuild it.
    """

    __slots__ = ()

    def _copy_with(self, bits):
        new = object.__new__(type(self))
        for name in _slots(type(self)):
            if hasattr(self, name):
                setattr(new, name, getattr(self, name))
        new._bits = bits
        new._core = self._core.copy(global_bit_generator() if bits is None else bits)
        return new

    def __copy__(self):
        return self._copy_with(copy.deepcopy(self._bits))

    def __deepcopy__(self, memo):
        return self._copy_with(copy.deepcopy(self._bits, memo))

    def _rebuild_starts(self):
        """Starts that rebuild an envelope like this one from its points."""
        return self._core.points[0].tolist()

    def __reduce__(self):
        try:
            pickle.dumps(self._logpdf)
        except Exception as e:  # pickle raises several kinds
            raise TypeError(
                "cannot pickle this %s: its logpdf %r does not pickle (%s); define the "
                "log-density as a function at module level (C functions never pickle)"
                % (type(self).__name__, self._logpdf, e)) from None
        kwargs = self._rebuild_kwargs()
        drawn = self._core.repeatable_draws
        if self._seed is not None and drawn is not None:
            return _replay, (type(self), self._logpdf, kwargs, self._starts, self._seed,
                             drawn, self._bits)
        kwargs.pop("check", None)
        return _restore, (type(self), self._logpdf, kwargs, self._rebuild_starts(), self._bits)
