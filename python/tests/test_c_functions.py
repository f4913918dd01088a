"""Log-densities given as C functions: same draws as Python, threads in parallel."""
import ctypes
import threading

import numpy as np
import pytest
import scipy

from adaptive_rejection import LogConcaveSampler


def test_ctypes_pointer_draws_as_the_python_callable(c_densities):
    c = LogConcaveSampler(c_densities.standard_normal_logpdf, random_state=42)
    py = LogConcaveSampler(lambda x: -0.5 * x * x, random_state=42)
    np.testing.assert_array_equal(c.rvs(20000), py.rvs(20000))
    assert c.evaluations == py.evaluations
    assert c.rvs() == py.rvs()


def test_low_level_callables_with_and_without_data(c_densities):
    plain = scipy.LowLevelCallable(c_densities.standard_normal_logpdf)
    params = (ctypes.c_double * 2)(3.0, 2.0)
    with_data = scipy.LowLevelCallable(c_densities.normal_logpdf_with_data,
                                       ctypes.cast(params, ctypes.c_void_p))
    ref = LogConcaveSampler(lambda x: -0.5 * ((x - 3.0) / 2.0) ** 2, random_state=2).rvs(5000)
    np.testing.assert_array_equal(LogConcaveSampler(with_data, random_state=2).rvs(5000), ref)
    x = LogConcaveSampler(plain, random_state=2).rvs(5000)
    assert abs(x.mean()) < 0.1
    # A ctypes callback made from Python works too (it takes the GIL itself).
    cb = ctypes.CFUNCTYPE(ctypes.c_double, ctypes.c_double)(lambda x: -0.5 * x * x)
    np.testing.assert_array_equal(LogConcaveSampler(cb, random_state=2).rvs(100),
                                  LogConcaveSampler(plain, random_state=2).rvs(100))


def test_gamma_with_zero_density_at_the_end(c_densities):
    x = LogConcaveSampler(c_densities.gamma3_logpdf, (0.0, np.inf), random_state=4).rvs(20000)
    assert x.min() > 0 and abs(x.mean() - 3.0) < 0.05


def test_two_threads_give_what_one_after_the_other_gives(c_densities):
    def run(seed, out):
        s = LogConcaveSampler(c_densities.gamma3_logpdf, (0.0, np.inf), random_state=seed)
        out[seed] = np.concatenate([s.rvs(300000), s.rvs(300000)])

    sequential, parallel = {}, {}
    for seed in (1, 2):
        run(seed, sequential)
    threads = [threading.Thread(target=run, args=(seed, parallel)) for seed in (1, 2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for seed in (1, 2):
        np.testing.assert_array_equal(parallel[seed], sequential[seed])


def test_one_sampler_shared_by_threads_draws_each_number_once(c_densities):
    s = LogConcaveSampler(c_densities.standard_normal_logpdf, random_state=8)
    parts = []
    threads = [threading.Thread(target=lambda: parts.append(s.rvs(200000))) for _ in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    together = np.sort(np.concatenate(parts))
    alone = np.sort(LogConcaveSampler(c_densities.standard_normal_logpdf,
                                      random_state=8).rvs(400000))
    np.testing.assert_array_equal(together, alone)


def test_brief_updates_keep_the_gil_and_long_ones_let_it_go(c_densities):
    # gil_probe_logpdf spins for the microseconds its data holds and counts
    # the calls it got holding the GIL.
    spin = ctypes.c_double(0.0)
    s = LogConcaveSampler(c_densities.gil_probe_logpdf, starts=[0.0],
                          data=ctypes.addressof(spin), random_state=3)
    c_densities.gil_probe_reset()
    x = 0.0
    for _ in range(96):
        x = s.update(x / 2)
    assert c_densities.gil_probe_held() > 0

    spin.value = 50.0  # dear enough to let threads run beside it
    for _ in range(40):  # long enough for a timed call to see the change
        x = s.update(x / 2)
    c_densities.gil_probe_reset()
    for _ in range(40):
        x = s.update(x / 2)
        x = s.rvs()
    assert c_densities.gil_probe_calls() > 80 and c_densities.gil_probe_held() == 0
