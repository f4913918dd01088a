"""What every sampler class of the package offers over its engine ``_core``."""
import numpy as np

from ._core import NotLogConcaveError
from ._random_state import bit_generator

# Points of the envelope evaluated again when a draw finds the density not
# concave, to tell a density changed since the envelope was built.
_RECHECKED = 8


def changed_density(core):
    """A message if logpdf no longer gives the values the envelope holds, else None.

    Evaluates logpdf again at the highest points (a deterministic log-density
    gives the same bits), on the error path only.
    """
    x, h = core.points
    if len(x) == 0:
        return None
    at = x[np.argsort(-h, kind="stable")[:_RECHECKED]]
    try:
        now = core.evaluate(at)
    except Exception:  # logpdf raising here says nothing about a change
        return None
    was = h[np.argsort(-h, kind="stable")[:_RECHECKED]]
    moved = np.flatnonzero(~((now == was) | (np.isnan(now) & np.isnan(was))))
    if len(moved) == 0:
        return None
    i = int(moved[0])
    return ("logpdf has changed since the envelope was built: at x = %r it gave %r and now "
            "gives %r. rvs() draws from the density the envelope was built for; to move to a "
            "new conditional (new parameters in a closure or a C function's data), call "
            "update(start)" % (float(at[i]), float(was[i]), float(now[i])))


def failed_draw(core, error):
    """Raises what a draw that raised NotLogConcaveError `error` raises: the
    same error, or one saying that logpdf changed since the envelope was built."""
    changed = changed_density(core)
    if changed is not None:
        raise NotLogConcaveError(changed) from error
    raise error


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

        Raises
        ------
        NotLogConcaveError
            A draw found the density not log-concave (T-concave), or found
            that `logpdf` has changed since the envelope was built: draws
            from a new conditional take ``update(start)``.
        """
        bits = None if random_state is None else bit_generator(random_state)
        try:
            if size is None:
                return self._core.draw(bits)
            out = np.empty(size, dtype=np.float64)
            self._core.fill(out, bits)
            return out
        except NotLogConcaveError as e:
            failed_draw(self._core, e)

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
