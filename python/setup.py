"""The extension adaptive_rejection._core, compiled from the engine's sources.

The version and the engine's source list come from the project's
CMakeLists.txt, so that the two builds cannot drift apart.
ARS_PYTHON_BUILD_DIR moves setuptools' build files out of this folder.
"""
import os
import re
from pathlib import Path

import numpy
from pybind11.setup_helpers import Pybind11Extension, build_ext
from setuptools import setup

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
CMAKE = (ROOT / "CMakeLists.txt").read_text()


def project_version():
    m = re.search(r"project\(\s*\S+\s+VERSION\s+([0-9.]+)", CMAKE)
    if not m:
        raise RuntimeError("no project version in " + str(ROOT / "CMakeLists.txt"))
    return m.group(1)


def engine_sources():
    m = re.search(r"add_library\(ars_engine\b(.*?)\)", CMAKE, re.S)
    if not m:
        raise RuntimeError("no ars_engine library in " + str(ROOT / "CMakeLists.txt"))
    sources = re.findall(r"^\s*(\S+\.cpp)\s*$", m.group(1), re.M)
    return [str(ROOT / s) for s in sources]


core = Pybind11Extension(
    "adaptive_rejection._core",
    sorted(str(p) for p in (HERE / "src").glob("*.cpp")) + engine_sources(),
    include_dirs=[str(ROOT), str(HERE / "src"), numpy.get_include()],
    cxx_std=17,
    # Results are fixed to the last bit: no fused multiply-adds, no fast-math.
    extra_compile_args=["-ffp-contract=off", "-fno-fast-math"],
)

options = {}
build_dir = os.environ.get("ARS_PYTHON_BUILD_DIR")
if build_dir:
    os.makedirs(build_dir, exist_ok=True)
    options = {"build": {"build_base": build_dir}, "egg_info": {"egg_base": build_dir}}

setup(
    version=project_version(),
    ext_modules=[core],
    cmdclass={"build_ext": build_ext},
    options=options,
)
