#!/bin/sh
# Copies the engine's sources and headers from a checkout (its top directory
# is $1) into the package in the current directory: the sampler's sources
# to src/engine_*.cpp (R compiles the sources at the top of src/; their
# headers keep their paths), its headers to src/sampler/ and src/density/,
# and what <adaptiverejection.h> includes to inst/include/sampler/.
set -e
root=$1
rm -rf src/sampler src/density src/engine_*.cpp inst/include/sampler
mkdir -p src/sampler src/density inst/include/sampler
engine_sources=$(sed -n '/^add_library(ars_engine/,/^)/p' "$root/CMakeLists.txt" | grep -o '[a-z_]*/[a-z_0-9]*\.cpp')
for f in $engine_sources; do
  # The sampler's sources only: the window's densities stay out. The engine's
  # assertion.cpp writes to stderr and ends the process, which a package must
  # not do; src/assertion.cpp stands in for it with the same interface.
  case $f in
    sampler/assertion.cpp) continue ;;
    sampler/*) ;;
    *) continue ;;
  esac
  cp "$root/$f" "src/engine_$(echo "$f" | tr / _)"
done
cp "$root"/sampler/*.h src/sampler/
cp "$root"/density/*.h src/density/
for h in not_log_concave.h uniform_source.h engine_export.h; do
  cp "$root/sampler/$h" inst/include/sampler/
done
