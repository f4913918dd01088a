#!/usr/bin/env bash
# pip_install_and_test.sh WORK_DIR PYTHON_SOURCE_DIR PYTHON VERSION
# Creates a virtual environment that sees the system's packages (numpy,
# scipy, pytest), installs the package into it with pip, offline, and runs
# the Python tests against what was installed.
set -euo pipefail
work=$1 source=$2 python=$3 version=$4
rm -rf "$work"
mkdir -p "$work"
"$python" -m venv --system-site-packages "$work/venv"
venv_python=$work/venv/bin/python
ARS_PYTHON_BUILD_DIR="$work/build" "$venv_python" -m pip install --quiet --no-build-isolation \
  --no-index --no-cache-dir --disable-pip-version-check "$source"
cd "$work"
"$venv_python" - "$work/venv" "$version" <<'PY'
import sys
from importlib.metadata import version

import adaptive_rejection as ar

venv, expected = sys.argv[1], sys.argv[2]
assert ar.__file__.startswith(venv), ar.__file__
assert ar.__version__ == expected == version("adaptive-rejection"), (ar.__version__, expected)
print("installed", ar.__version__, "at", ar.__file__)
PY
"$venv_python" -m pytest -q -p no:cacheprovider "$source/tests"
