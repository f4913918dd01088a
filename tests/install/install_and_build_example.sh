#!/usr/bin/env bash
# install_and_build_example.sh BUILD_DIR EXAMPLES_DIR WORK_DIR [CXX_FLAGS]
# Installs the engine component of BUILD_DIR into WORK_DIR/prefix, checks the
# package's files, builds EXAMPLES_DIR against it and runs every example.
set -euo pipefail
build=$1 examples=$2 work=$3 flags=${4:-}
rm -rf "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component engine >/dev/null

for f in lib/libars_engine.a \
         include/adaptive-rejection-sampler/sampler/log_concave_sampler.h \
         include/adaptive-rejection-sampler/sampler/ars.h \
         lib/cmake/AdaptiveRejectionSampler/AdaptiveRejectionSamplerConfig.cmake \
         lib/cmake/AdaptiveRejectionSampler/AdaptiveRejectionSamplerConfigVersion.cmake; do
  libdir_f=${f/#lib\//lib*/}
  # shellcheck disable=SC2086
  if ! ls $prefix/$libdir_f >/dev/null 2>&1; then echo "not installed: $f" >&2; exit 1; fi
done

cmake -S "$examples" -B "$work/examples" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/examples" >/dev/null

ran=0
for exe in "$work"/examples/*; do
  if [ -f "$exe" ] && [ -x "$exe" ]; then
    echo "== $(basename "$exe")"
    "$exe"
    ran=$((ran + 1))
  fi
done
if [ "$ran" -eq 0 ]; then echo "no example was built" >&2; exit 1; fi
echo "$ran example(s) built against the installed package and ran"
