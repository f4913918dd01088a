"""Draws as Dask arrays and chains on Dask workers: a two-process cluster on the loopback."""
import os

import numpy as np
import pytest
from scipy import stats

pytest.importorskip("dask.array", reason="adaptive_rejection.dask needs dask (python3-dask)")

import adaptive_rejection.dask as ard  # noqa: E402
from adaptive_rejection import LogConcaveSampler, TConcaveSampler  # noqa: E402
# What the workers run: a module of its own, so that they import no test machinery.
from dask_workloads import continue_drawing, gibbs_chain, normal, t3  # noqa: E402


@pytest.fixture(scope="module")
def client(tmp_path_factory):
    distributed = pytest.importorskip(
        "distributed", reason="the cluster tests need dask.distributed (python3-distributed)")
    with distributed.LocalCluster(processes=True, n_workers=2, threads_per_worker=1,
                                  host="127.0.0.1", dashboard_address=None,
                                  local_directory=str(tmp_path_factory.mktemp("dask"))) as cluster, \
            distributed.Client(cluster, set_as_default=False) as c:
        c.wait_for_workers(2)
        yield c


def test_draws_on_two_workers_are_normal_and_the_same_on_one_or_none(client):
    x = ard.rvs(normal, 10**6, chunks=10**5, random_state=2024)
    held = client.persist(x)
    a = client.compute(held).result()
    placed = client.who_has(held)
    assert len({w for ws in placed.values() for w in ws}) == 2  # both workers drew
    assert a.shape == (10**6,) and stats.kstest(a, "norm").pvalue >= 1e-6
    one = sorted(client.scheduler_info()["workers"])[0]
    np.testing.assert_array_equal(client.compute(x, workers=[one]).result(), a)
    np.testing.assert_array_equal(x.compute(scheduler="sync"), a)
    # No two chunks share a stream: a repeated stream would repeat its draws.
    assert np.unique(a).size == a.size
    children = np.random.SeedSequence(2024).spawn(10)
    for i in (0, 9):
        np.testing.assert_array_equal(
            a[i * 10**5:(i + 1) * 10**5], LogConcaveSampler(normal, random_state=children[i]).rvs(10**5))


@pytest.mark.parametrize("make", [lambda: LogConcaveSampler(normal, random_state=7),
                                  lambda: TConcaveSampler(t3, random_state=np.random.SeedSequence(7))])
def test_sampler_sent_to_a_worker_continues_as_its_local_copy(client, make):
    s = make()
    s.rvs(1000)
    there, pid = client.submit(continue_drawing, s, 5000, pure=False).result()
    assert pid != os.getpid()
    np.testing.assert_array_equal(there, s.rvs(5000))
    # Chunks copy the sampler they are given, wherever they run; one whose
    # pickle rebuilds it from its points (a shared generator) is rebuilt alike.
    shared = LogConcaveSampler(normal, random_state=np.random.default_rng(7))
    shared.rvs(100)
    for given in (s, shared):
        x = ard.rvs(given, (6, 4), chunks=(3, 2), random_state=5)
        np.testing.assert_array_equal(client.compute(x).result(), x.compute(scheduler="threads"))


def test_map_chains_runs_each_chain_on_its_own_stream(client):
    results = ard.map_chains(gibbs_chain, 4, random_state=11, client=client)
    local = ard.map_chains(gibbs_chain, 4, random_state=11)  # no default client: here
    assert len(results) == 4
    for (there, pid), (here, here_pid) in zip(results, local):
        assert pid != os.getpid() and here_pid == os.getpid()
        np.testing.assert_array_equal(there, here)
    assert len({r[0][-1] for r in results}) == 4
    children = np.random.SeedSequence(11).spawn(4)
    np.testing.assert_array_equal(
        results[2][0], gibbs_chain(np.random.default_rng(children[2]))[0])


def test_same_seed_same_array_other_seed_other_array():
    a = ard.rvs(normal, (30, 7), chunks=(10, 4), random_state=3).compute()
    np.testing.assert_array_equal(ard.rvs(normal, (30, 7), chunks=(10, 4), random_state=3)
                                  .compute(scheduler="sync"), a)
    assert not np.array_equal(ard.rvs(normal, (30, 7), chunks=(10, 4), random_state=4).compute(), a)
    # A generator gives a seed and moves on; reseeded, it repeats.
    g = np.random.default_rng(1)
    b, c = (ard.rvs(normal, 50, chunks=20, random_state=g).compute() for _ in range(2))
    assert not np.array_equal(b, c)
    np.testing.assert_array_equal(
        ard.rvs(normal, 50, chunks=20, random_state=np.random.default_rng(1)).compute(), b)
    # Without a seed, numpy's global generator gives one: numpy.random.seed repeats.
    np.random.seed(9)
    d = ard.rvs(normal, 50, chunks=20).compute()
    np.random.seed(9)
    np.testing.assert_array_equal(ard.rvs(normal, 50, chunks=20).compute(), d)
    # Options reach each chunk's sampler.
    assert ard.rvs(normal, 1000, chunks=300, domain=(1.0, np.inf)).min().compute() >= 1.0


def test_what_cannot_travel_is_named_with_what_to_do(c_densities):
    with pytest.raises(TypeError, match="lambda.*module level"):
        ard.rvs(lambda x: -x * x, 10, chunks=5)
    with pytest.raises(TypeError, match="sampler's logpdf.*lambda"):
        ard.rvs(LogConcaveSampler(lambda x: -x * x, random_state=1), 10, chunks=5)
    with pytest.raises(TypeError, match="C function.*on the worker"):
        ard.rvs(c_densities.standard_normal_logpdf, 10, chunks=5)
    with pytest.raises(TypeError, match="domain"):
        ard.rvs(LogConcaveSampler(normal), 10, chunks=5, domain=(0, 1))
    with pytest.raises(ValueError, match="domain"):
        ard.rvs(normal, 10, chunks=5, domain=(1, 0))  # refused here, not on the workers
    with pytest.raises(ValueError, match="size"):
        ard.rvs(normal, (3, -1), chunks=5)
    with pytest.raises(TypeError, match="random_state"):
        ard.rvs(normal, 10, chunks=5, random_state="1")
    with pytest.raises(ValueError, match="n_chains"):
        ard.map_chains(gibbs_chain, -1)
