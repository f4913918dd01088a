"""TConcaveSampler with splits="auto": a two-mode mixture against scipy,
the Gibbs pattern, a far small mode with and without a scan, bad scans."""
import copy
import math
import pickle

import numpy as np
import pytest
from scipy import stats

from adaptive_rejection import TConcaveSampler

N = 20000
P_MIN = 1e-6
HALF = math.log(0.5)


def two_modes(x):
    # logaddexp: probes far out stay finite where exp would underflow to 0.
    return float(np.logaddexp(HALF - 0.5 * (x + 3) ** 2,
                              HALF - math.log(0.5) - 2.0 * (x - 3) ** 2))


def two_modes_cdf(x):
    return 0.5 * stats.norm.cdf(x, -3, 1) + 0.5 * stats.norm.cdf(x, 3, 0.5)


def far_bump(x):
    return float(np.logaddexp(math.log(0.99) - 0.5 * x * x,
                              math.log(0.01) - 0.5 * (x - 100) ** 2))


@pytest.mark.parametrize("c", [0, -0.5])
def test_two_modes_follow_scipy(c):
    s = TConcaveSampler(two_modes, c=c, splits="auto", random_state=11)
    assert stats.kstest(s.rvs(N), two_modes_cdf).pvalue > P_MIN
    assert s.splits and all(-3 < x < 3 for x in s.splits)
    assert s.splits == sorted(s.splits) and s.scan is None


@pytest.mark.parametrize("c", [0, -0.5])
def test_two_modes_one_draw_per_update(c):
    s = TConcaveSampler(two_modes, c=c, splits="auto", random_state=3)
    x, xs = 0.0, []
    for _ in range(3000):
        x = s.update(x)
        xs.append(x)
    # A chain of independent draws: the conditional never changes.
    assert stats.kstest(xs, two_modes_cdf).pvalue > P_MIN
    assert s.splits  # still automatic after the updates


def test_a_far_small_mode_needs_a_scan():
    alone = TConcaveSampler(far_bump, c=0, splits="auto", random_state=5)
    assert np.count_nonzero(alone.rvs(N) > 50) == 0
    scanned = TConcaveSampler(far_bump, c=0, splits="auto", scan=(-120, 120, 121),
                              random_state=5)
    share = np.count_nonzero(scanned.rvs(N) > 50) / N
    assert abs(share - 0.01) < 5 * math.sqrt(0.01 * 0.99 / N)
    assert scanned.scan == (-120.0, 120.0, 121)
    # Updates keep the scan: the far mode stays found.
    x, far = 0.0, 0
    for _ in range(2000):
        x = scanned.update(x)
        far += x > 50
    assert 0 < far < 60


def test_copies_and_pickles_stay_automatic_with_their_scan():
    s = TConcaveSampler(far_bump, c=0, splits="auto", scan=(-120, 120, 121), random_state=9)
    s.rvs(100)
    copied, loaded = copy.copy(s), pickle.loads(pickle.dumps(s))
    for other in (copied, loaded):
        assert other.scan == s.scan and other.splits == s.splits
    ahead = s.rvs(50)
    assert np.array_equal(copied.rvs(50), ahead) and np.array_equal(loaded.rvs(50), ahead)
    s.update(0.0, random_state=1)  # a pickle now rebuilds from the points
    again = pickle.loads(pickle.dumps(s))
    assert again.scan == s.scan and "splits='auto'" in repr(again)
    assert np.count_nonzero(again.rvs(N) > 50) > 0


@pytest.mark.parametrize("kwargs, error, text", [
    ({"scan": (-5, 5, 11)}, ValueError, "scan serves only"),
    ({"splits": [0.0], "scan": (-5, 5, 11)}, ValueError, "scan serves only"),
    ({"splits": "automatic"}, TypeError, "splits"),
    ({"splits": "auto", "scan": (5, -5, 11)}, ValueError, "scan"),
    ({"splits": "auto", "scan": (-5, math.inf, 11)}, ValueError, "scan"),
    ({"splits": "auto", "scan": (-5, math.nan, 11)}, ValueError, "scan"),
    ({"splits": "auto", "scan": (-5, 5, 1)}, ValueError, "scan"),
    ({"splits": "auto", "scan": (-5, 5, -2)}, ValueError, "scan"),
    ({"splits": "auto", "scan": (-5, 5, 10 ** 7)}, ValueError, "scan"),
    ({"splits": "auto", "scan": (-5, 5, 2.5)}, TypeError, "scan"),
    ({"splits": "auto", "scan": (-5, 5)}, TypeError, "scan"),
    ({"splits": "auto", "scan": "0 1 2"}, TypeError, "scan"),
    ({"splits": "auto", "scan": ("a", 5, 3)}, TypeError, "scan"),
])
def test_bad_scans_and_splits_name_them(kwargs, error, text):
    with pytest.raises(error, match=text):
        TConcaveSampler(two_modes, c=0, **kwargs)
