#!/usr/bin/env bash
# install_and_build_example.sh BUILD_DIR SOURCE_DIR WORK_DIR [CXX_FLAGS]
# Installs the engine of BUILD_DIR (a static library) into WORK_DIR/static,
# and a shared build of SOURCE_DIR's engine into WORK_DIR/shared; against
# each it builds and runs the examples and a C++14-configured consumer with
# a shared library of its own. It checks that only the public headers are
# installed, each compiling on its own, and what names each library and the
# consumer's shared library (hidden visibility) define and export.
set -euo pipefail
build=$1 source=$2 work=$3 flags=${4:-}
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
build=$(cd "$build" && pwd)
symbols=$source/tests/install/engine_symbols.sh

check_installed() {  # prefix library-file
  local prefix=$1 lib=$2 f
  for f in "lib*/$lib" \
           include/adaptive-rejection-sampler/sampler/log_concave_sampler.h \
           include/adaptive-rejection-sampler/sampler/t_concave_sampler.h \
           include/adaptive-rejection-sampler/sampler/version.h \
           "lib*/cmake/AdaptiveRejectionSampler/AdaptiveRejectionSamplerConfig.cmake" \
           "lib*/cmake/AdaptiveRejectionSampler/AdaptiveRejectionSamplerConfigVersion.cmake"; do
    # shellcheck disable=SC2086
    if ! ls $prefix/$f >/dev/null 2>&1; then echo "not installed: $f" >&2; exit 1; fi
  done
  # The window's sampler, densities and kinds, and the engine's internals.
  local include=$prefix/include/adaptive-rejection-sampler
  for f in sampler/ars.h sampler/ars_density.h sampler/uniform_random.h sampler/assertion.h \
           sampler/hull_envelope.h sampler/fast_table.h sampler/start_search.h density; do
    if [ -e "$include/$f" ]; then echo "installed, but not public: $f" >&2; exit 1; fi
  done
  # Every installed header compiles on its own: nothing it includes is missing.
  for f in "$include"/sampler/*.h; do
    echo "#include <sampler/$(basename "$f")>" |
      ${CXX:-c++} -std=c++17 -fsyntax-only -Wall -Wextra -Werror -I"$include" -x c++ - ||
      { echo "does not compile on its own: $f" >&2; exit 1; }
  done
}

build_and_run() {  # prefix project-dir binary-dir
  cmake -S "$2" -B "$3" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$1" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
  cmake --build "$3" >/dev/null
  local exe ran=0
  for exe in "$3"/*; do
    if [ -f "$exe" ] && [ -x "$exe" ] && [[ "$exe" != *.so* ]]; then
      echo "== $(basename "$exe")"
      "$exe"
      ran=$((ran + 1))
    fi
  done
  if [ "$ran" -eq 0 ]; then echo "nothing was built in $3" >&2; exit 1; fi
}

echo "--- static library"
static=$work/static
cmake --install "$build" --prefix "$static" --component engine >/dev/null
check_installed "$static" libars_engine.a
bash "$symbols" archive "$static"/lib*/libars_engine.a
build_and_run "$static" "$source/examples" "$work/static-examples"
build_and_run "$static" "$source/tests/install/consumer" "$work/static-consumer"
bash "$symbols" consumer "$work/static-consumer/libnormal_tail.so"

echo "--- shared library"
shared=$work/shared
sanitize=OFF
if [ -n "$flags" ]; then sanitize=ON; fi
cmake -S "$source" -B "$work/shared-build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DARS_GUI=OFF -DARS_TESTS=OFF -DARS_BENCHMARKS=OFF -DARS_PYTHON=OFF -DARS_SANITIZE=$sanitize >/dev/null
cmake --build "$work/shared-build" --target ars_engine_shared >/dev/null
cmake --install "$work/shared-build" --prefix "$shared" --component engine >/dev/null
check_installed "$shared" libars_engine.so
bash "$symbols" shared "$(ls "$shared"/lib*/libars_engine.so)"
build_and_run "$shared" "$source/examples" "$work/shared-examples"
build_and_run "$shared" "$source/tests/install/consumer" "$work/shared-consumer"
bash "$symbols" consumer "$work/shared-consumer/libnormal_tail.so"
# (ldd's whole output first: grep -q closing the pipe early would fail it under pipefail)
loaded=$(ldd "$work/shared-consumer/consumer")
if [[ "$loaded" != *libars_engine.so* ]]; then
  echo "the consumer does not load the shared engine" >&2
  exit 1
fi
echo "examples and consumer built against the installed package, static and shared"
