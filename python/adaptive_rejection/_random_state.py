"""The numpy bit generator behind a ``random_state`` argument."""
import numbers

import numpy as np


def global_bit_generator():
    """numpy's global RandomState's bit generator, as scipy uses for
    random_state=None, so that numpy.random.seed makes runs repeatable."""
    get = getattr(np.random, "get_bit_generator", None)
    return get() if get is not None else np.random.mtrand._rand._bit_generator


def bit_generator(random_state):
    """Return the ``numpy.random.BitGenerator`` that `random_state` stands for.

    None is numpy's global generator; an int or a SeedSequence seeds a new
    PCG64 exactly as ``numpy.random.default_rng`` does; a Generator or a
    RandomState gives the bit generator it draws from.
    """
    if random_state is None:
        return global_bit_generator()
    if isinstance(random_state, np.random.BitGenerator):
        return random_state
    if isinstance(random_state, np.random.Generator):
        return random_state.bit_generator
    if isinstance(random_state, np.random.RandomState):
        return random_state._bit_generator
    if isinstance(random_state, (numbers.Integral, np.random.SeedSequence)) \
            and not isinstance(random_state, bool):
        return np.random.PCG64(random_state)
    raise TypeError("random_state must be None, an int, a numpy Generator, BitGenerator, "
                    "RandomState or SeedSequence, not %s" % type(random_state).__name__)
