"""Copies and pickles of a sampler over the engine.

A copy (``copy.copy`` or ``copy.deepcopy``) is an independent sampler that
continues from the same envelope, with a copy of the generator it draws from
by default, as a copy of the C++ sampler does. A pickle holds the log-density,
the constructor's arguments and the envelope's abscissae; unpickling builds
the sampler again from those abscissae, evaluating the log-density there.
"""
import copy
import pickle

from ._random_state import global_bit_generator


def _slots(cls):
    for klass in cls.__mro__:
        for name in getattr(klass, "__slots__", ()):
            yield name


def _restore(cls, logpdf, kwargs, starts, bits):
    return cls(logpdf, starts=starts, random_state=bits, **kwargs)


class CopyableSampler:
    """Mixin: copy, deepcopy and pickle for a sampler class that has

    - ``_core``: the engine, with ``copy(bit_generator)`` and ``points``;
    - ``_bits``: the BitGenerator it owns or was given, None for numpy's
      global one (which copies go on sharing, as random_state=None means);
    - ``_logpdf``: what the caller passed as logpdf;
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

    def __reduce__(self):
        try:
            pickle.dumps(self._logpdf)
        except Exception as e:  # pickle raises several kinds
            raise TypeError(
                "cannot pickle this %s: its logpdf %r does not pickle (%s); define the "
                "log-density as a function at module level (C functions never pickle)"
                % (type(self).__name__, self._logpdf, e)) from None
        starts = self._core.points[0].tolist()
        return _restore, (type(self), self._logpdf, self._rebuild_kwargs(), starts, self._bits)
