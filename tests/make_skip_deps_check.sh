#!/usr/bin/env bash
# Every make target runs scripts/install-deps first, except with ARS_SKIP_DEPS=1.
# Usage: make_skip_deps_check.sh SOURCE_DIR
set -euo pipefail
source=$1
# A make that runs this test passes its own variables down (ARS_SKIP_DEPS=1 among them).
unset MAKEFLAGS MAKELEVEL MFLAGS ARS_SKIP_DEPS
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
status=0
for target in run test sanitize engine bench; do
  with=$(make -n -C "$source" BUILD_DIR="$build" "$target")
  without=$(make -n -C "$source" BUILD_DIR="$build" ARS_SKIP_DEPS=1 "$target")
  if ! grep -q "scripts/install-deps" <<<"$with"; then
    echo "make $target does not install the dependencies" >&2; status=1
  fi
  if grep -q "install-deps" <<<"$without"; then
    echo "make $target ARS_SKIP_DEPS=1 still runs install-deps" >&2; status=1
  fi
done
exit "$status"
