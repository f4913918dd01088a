"""Seeds, numpy generators and the shapes rvs returns."""
import numpy as np
import pytest

from adaptive_rejection import LogConcaveSampler


def normal(x):
    return -0.5 * x * x


def test_seeds_and_generators_reproduce():
    draws = LogConcaveSampler(normal, random_state=7).rvs(500)
    np.testing.assert_array_equal(LogConcaveSampler(normal, random_state=7).rvs(500), draws)
    # An int seeds PCG64 as numpy.random.default_rng does.
    same = LogConcaveSampler(normal, random_state=np.random.default_rng(7)).rvs(500)
    np.testing.assert_array_equal(same, draws)
    np.testing.assert_array_equal(
        LogConcaveSampler(normal).rvs(500, random_state=np.random.PCG64(7)), draws)
    assert not np.array_equal(LogConcaveSampler(normal, random_state=8).rvs(500), draws)
    # numpy's global generator when no random_state is given, as in scipy.
    np.random.seed(11)
    first = LogConcaveSampler(normal).rvs(50)
    np.random.seed(11)
    np.testing.assert_array_equal(LogConcaveSampler(normal).rvs(50), first)
    rs = np.random.RandomState(11)
    np.testing.assert_array_equal(LogConcaveSampler(normal, random_state=rs).rvs(50), first)


def test_draws_continue_the_generators_stream():
    rng = np.random.default_rng(5)
    s = LogConcaveSampler(normal, random_state=rng)
    a, b = s.rvs(100), s.rvs(100)
    assert not np.array_equal(a, b)
    # One batch is the same as its draws one at a time.
    one_by_one = LogConcaveSampler(normal, random_state=5)
    np.testing.assert_array_equal(np.concatenate([a, b]), [one_by_one.rvs() for _ in range(200)])
    # The generator moved on: numpy's own next draw is not the fresh one.
    assert rng.random() != np.random.default_rng(5).random()


def test_callable_may_draw_from_the_generator_being_used():
    rng = np.random.default_rng(9)

    def noisy_zero_cost(x):
        rng.random()  # takes the generator's lock, which rvs holds between calls
        return -0.5 * x * x

    x = LogConcaveSampler(noisy_zero_cost, random_state=rng).rvs(5000)
    assert abs(x.mean()) < 0.1


@pytest.mark.parametrize("size, shape", [(3, (3,)), ((2, 4), (2, 4)), (0, (0,)), ((), ()),
                                         (np.int64(5), (5,))])
def test_shapes(size, shape):
    x = LogConcaveSampler(normal, random_state=1).rvs(size)
    assert isinstance(x, np.ndarray) and x.shape == shape and x.dtype == np.float64


def test_one_draw_is_a_float():
    assert type(LogConcaveSampler(normal, random_state=1).rvs()) is float


def test_gibbs_example_runs():
    import importlib.util
    import pathlib
    path = pathlib.Path(__file__).parents[2] / "examples" / "python" / "gibbs_hierarchical.py"
    found = importlib.util.spec_from_file_location("gibbs_hierarchical", path)
    example = importlib.util.module_from_spec(found)
    found.loader.exec_module(example)
    trace = example.gibbs(30, np.random.default_rng(1))
    assert trace.shape == (30, 12) and np.all(np.isfinite(trace)) and np.all(trace[:, -1] > 0)
