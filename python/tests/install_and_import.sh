#!/usr/bin/env bash
# Installs the Python component into a temporary prefix and imports it from
# elsewhere, with nothing of the build tree on the path.
set -euo pipefail
build=$1 prefix=$2 python=$3
rm -rf "$prefix"
cmake --install "$build" --component python --prefix "$prefix" >/dev/null
site=$(find "$prefix" -type d -name adaptive_rejection -print -quit)
[ -n "$site" ] || { echo "nothing installed under $prefix" >&2; exit 1; }
cd "$prefix"
PYTHONPATH=$(dirname "$site") PYTHONDONTWRITEBYTECODE=1 "$python" -c '
import adaptive_rejection as ar, sys
assert ar.__file__.startswith(sys.argv[1]), ar.__file__
x = ar.LogConcaveSampler(lambda x: -0.5 * x * x, random_state=1).rvs(1000)
assert abs(x.mean()) < 0.2 and 0.8 < x.var() < 1.2, (x.mean(), x.var())
print("imported", ar.__file__)
' "$prefix"
rm -rf "$prefix"
