# pytest over the built package; the C log-densities the tests call through
# ctypes come from a small library built beside it.
add_library(ars_python_test_densities MODULE ${CMAKE_CURRENT_LIST_DIR}/c_log_densities.cpp)
ars_strict_warnings(ars_python_test_densities)

execute_process(COMMAND ${Python3_EXECUTABLE} -c "import pytest, scipy"
  RESULT_VARIABLE ARS_PYTEST_MISSING OUTPUT_QUIET ERROR_QUIET)
if(ARS_PYTEST_MISSING)
  message(STATUS "Python tests not registered: needs python3-pytest and python3-scipy")
  return()
endif()

set(ARS_PYTEST_ENV "PYTHONPATH=${CMAKE_CURRENT_BINARY_DIR};PYTHONDONTWRITEBYTECODE=1;ARS_TEST_C_DENSITIES=$<TARGET_FILE:ars_python_test_densities>")
add_test(NAME python_module
  COMMAND ${Python3_EXECUTABLE} -m pytest -q -p no:cacheprovider
          --ignore=${CMAKE_CURRENT_LIST_DIR}/test_dask.py ${CMAKE_CURRENT_LIST_DIR})
set_tests_properties(python_module PROPERTIES TIMEOUT 300 ENVIRONMENT "${ARS_PYTEST_ENV}")

# Dask: a two-process cluster on 127.0.0.1, started and stopped by the test
# module; skipped with a message where dask or distributed is missing.
add_test(NAME python_dask
  COMMAND ${Python3_EXECUTABLE} -m pytest -q -rs -p no:cacheprovider ${CMAKE_CURRENT_LIST_DIR}/test_dask.py)
set_tests_properties(python_dask PROPERTIES TIMEOUT 120 ENVIRONMENT "${ARS_PYTEST_ENV}")

add_test(NAME python_install
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install_and_import.sh ${CMAKE_BINARY_DIR}
          ${CMAKE_BINARY_DIR}/python-install-test ${Python3_EXECUTABLE})
set_tests_properties(python_install PROPERTIES TIMEOUT 120)

# pip install into a virtual environment, offline, and the tests against it.
execute_process(COMMAND ${Python3_EXECUTABLE} -c
  "import importlib.util as u, sys; sys.exit(any(u.find_spec(m) is None for m in ('ensurepip', 'venv', 'pip', 'setuptools', 'wheel', 'pybind11')))"
  RESULT_VARIABLE ARS_PIP_BUILD_MISSING OUTPUT_QUIET ERROR_QUIET)
if(ARS_PIP_BUILD_MISSING)
  message(STATUS "pip install test not registered: needs python3-venv, python3-pip, python3-setuptools, python3-wheel and python3-pybind11")
  return()
endif()
add_test(NAME python_pip_install
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pip_install_and_test.sh ${CMAKE_BINARY_DIR}/python-pip-test
          ${PROJECT_SOURCE_DIR}/python ${Python3_EXECUTABLE} ${PROJECT_VERSION})
set_tests_properties(python_pip_install PROPERTIES TIMEOUT 1200
  ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1;ARS_TEST_C_DENSITIES=$<TARGET_FILE:ars_python_test_densities>")
