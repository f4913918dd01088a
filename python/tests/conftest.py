import ctypes
import os

import pytest


@pytest.fixture(scope="session")
def c_densities():
    """The test library of C log-densities, with their ctypes signatures set."""
    path = os.environ.get("ARS_TEST_C_DENSITIES")
    if not path:
        pytest.skip("ARS_TEST_C_DENSITIES not set (run through ctest)")
    lib = ctypes.CDLL(path)
    for name in ("standard_normal_logpdf", "gamma3_logpdf"):
        getattr(lib, name).restype = ctypes.c_double
        getattr(lib, name).argtypes = [ctypes.c_double]
    lib.normal_logpdf_with_data.restype = ctypes.c_double
    lib.normal_logpdf_with_data.argtypes = [ctypes.c_double, ctypes.c_void_p]
    lib.gil_probe_logpdf.restype = ctypes.c_double
    lib.gil_probe_logpdf.argtypes = [ctypes.c_double, ctypes.c_void_p]
    for name in ("gil_probe_calls", "gil_probe_held"):
        getattr(lib, name).restype = ctypes.c_long
    return lib
