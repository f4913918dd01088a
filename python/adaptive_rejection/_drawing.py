"""What every sampler class of the package offers over its engine ``_core``."""
import numpy as np

from ._random_state import bit_generator


class DrawingSampler:
    """Mixin: draws and the inspection shared by the samplers; needs ``_core``."""

    __slots__ = ()

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
    def log_hat_area(self):
        """float: log(hat_area), which never overflows."""
        return self._core.log_hat_area

    @property
    def log_squeeze_area(self):
        """float: log(squeeze_area), which never underflows."""
        return self._core.log_squeeze_area

    @property
    def points(self):
        """(ndarray, ndarray): Abscissae of the evaluated points and logpdf there."""
        return self._core.points
