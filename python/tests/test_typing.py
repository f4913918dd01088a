"""The type stubs, through mypy where it is installed (Debian's python3-mypy)."""
import importlib.util
import os
import site
import subprocess
import sys

import pytest

import adaptive_rejection

# Each line marked "# wrong" must be an error, and no other line.
CLIENT = '''\
import math
import numpy as np
from adaptive_rejection import LogConcaveSampler, TConcaveSampler

def normal(x: float) -> float:
    return -0.5 * x * x

s = LogConcaveSampler(normal, (0.0, math.inf), starts=[1.0], random_state=1)
one: float = s.rvs()
a: np.ndarray = s.rvs(size=np.int64(3))
b: np.ndarray = s.rvs(size=[2, 3])
c: np.ndarray = s.rvs((2, 3), random_state=np.random.default_rng(2))
x: float = s.update(0.5)
t = TConcaveSampler(normal, c=-0.5, splits=[-1.0, 1.0], starts=np.array([0.0]))
cuts: list = t.splits
z: float = t.update(0.1, random_state=3)
hull_x, hull_y = t.hull
TConcaveSampler(normal, vectorized=False, check=True)
TConcaveSampler(normal, c=0, splits="auto", scan=(-5.0, 5.0, 11))
TConcaveSampler(normal, splits="auto", scan=(-5.0, 5.0))  # wrong
LogConcaveSampler(lambda v: -v * v, vectorized=True, check=16)
LogConcaveSampler(3.0)  # wrong
LogConcaveSampler(normal, starts="0")  # wrong
TConcaveSampler(normal, splits="01")  # wrong
s.rvs(size="3")  # wrong
y: str = s.rvs()  # wrong
'''


def test_stubs_accept_what_works_and_refuse_what_fails(tmp_path):
    if importlib.util.find_spec("mypy") is None:
        pytest.skip("mypy not installed (python3-mypy)")
    client = tmp_path / "client.py"
    client.write_text(CLIENT)
    package_dir = os.path.dirname(os.path.dirname(adaptive_rejection.__file__))
    env = dict(os.environ)
    if package_dir not in site.getsitepackages():  # installed packages are found by PEP 561
        env["MYPYPATH"] = package_dir
    r = subprocess.run([sys.executable, "-m", "mypy", "--no-incremental", "--cache-dir",
                        str(tmp_path / "cache"), "--ignore-missing-imports", str(client)],
                       env=env, capture_output=True, text=True, cwd=tmp_path)
    assert r.returncode in (0, 1), r.stdout + r.stderr
    wrong = {i + 1 for i, line in enumerate(CLIENT.splitlines()) if line.endswith("# wrong")}
    reported = {int(line.split(":")[1]) for line in r.stdout.splitlines()
                if line.startswith("client.py:") and ": error:" in line}
    assert reported == wrong, r.stdout
