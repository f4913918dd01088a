#!/usr/bin/env bash
# Layers point one way: the engine (sampler/) knows no density kind and no
# picture; density/ and platform/ know nothing of the window's model (model/)
# or the programs around it (frontends/); the model is data, knowing no window and
# no picture: display/ lays out and draws from it;
# the studio core (studio/) knows no front end (frontends/);
# platform/ does not reach into density/, display/ or resources/; resources/
# holds tables only, written in the platform's vocabulary (menu items,
# accelerators). Any include against the directions fails.
# Usage: include_directions_check.sh SOURCE_DIR
set -euo pipefail
cd "$1"

# folder|folders it must not include
rules=(
  "sampler|density display platform resources studio frontends"
  "density|display model platform resources studio frontends"
  "display|studio frontends"
  "model|display platform resources studio frontends"
  "platform|density display model resources studio frontends"
  "resources|density display model studio frontends"
  "studio|frontends"
)

found=()
for rule in "${rules[@]}"; do
  folder=${rule%%|*}
  for banned in ${rule#*|}; do
    while IFS= read -r hit; do
      [[ -n $hit ]] && found+=("$hit")
    done < <(grep -rEo "^#include \"$banned/[^\"]+\"" "$folder" --include='*.h' --include='*.cpp' \
               | sed -E 's/:#include "([^"]+)"/:\1/' || true)
  done
done

status=0
for hit in "${found[@]+"${found[@]}"}"; do
  echo "include against the layer directions: $hit" >&2; status=1
done
exit $status
