#!/usr/bin/env bash
# The README's lecture pictures as a projector shows them: the program
# maximised on a 1920x1080 Xvfb screen, driven by lesson files and its keys,
# each screenshot scaled to 1280 pixels wide for the README.
# Usage: tools/lecture_screenshots.sh PROGRAM OUTPUT_DIR
# Needs Xvfb, xdotool and ImageMagick (as the Xvfb checks do).
set -euo pipefail

program=$(realpath "$1")
out=$(realpath "$2")
title="Adaptive Rejection Sampler"

check_name=lecture_screenshots
source "$(dirname "$0")/../tests/qt/xvfb_common.sh"
start_xvfb 1920x1080x24

# Starts the program on a lesson (JSON text, or nothing), maximised and focused.
launch() {
  local args=()
  if [ -n "${1:-}" ]; then
    printf '%s\n' "$1" >"$workdir/lesson.json"
    args=("$workdir/lesson.json")
  fi
  QT_QPA_PLATFORM=xcb "$program" "${args[@]}" >"$workdir/program.log" 2>&1 &
  app_pid=$!
  maximise_window 1920 1080
  sleep 1
}

press() {
  for key in "$@"; do
    xdotool key --clearmodifiers "$key"
    sleep 0.3
  done
}

# The window, or with "screen" the whole screen (a dialog over the window).
shoot() {
  sleep 1
  if [ "${2:-}" = screen ]; then
    import -window root "$workdir/shot.png"
  else
    import -window "$window" "$workdir/shot.png"
  fi
  # A palette of 128 colours keeps each picture small; the plot uses a few.
  convert "$workdir/shot.png" -resize 1280x -strip +dither -colors 128 "PNG8:$out/$1"
  echo "$out/$1: $(identify -format %wx%h "$out/$1"), $(($(stat -c %s "$out/$1") / 1024)) KB"
}

close() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

# 1. The whole envelope in view: Beta(2,3) after two steps.
launch '{"builtin": "beta-2-3", "steps": 2, "wholeEnvelope": true}'
shoot lecture_whole_envelope.png
close

# 2. Two beats: step 6's rejected candidate against the envelope it was
# drawn under, with the legend of the three fates.
launch '{"builtin": "beta-2-3", "steps": 5, "wholeEnvelope": true, "twoBeats": true}'
press ctrl+n
shoot lecture_two_beats.png
close

# 3. The test density's proof at its fifth step, with the log-scale inset.
launch '{"builtin": "test-density", "steps": 0}'
press ctrl+n ctrl+n ctrl+n ctrl+n ctrl+n
sleep 1
press Return
shoot lecture_proof.png
close

# 4. Plain and adaptive rejection side by side.
launch
press ctrl+p
sleep 2
shoot lecture_compare.png
close

# 5. A lesson opened at step 6 (the picture of Ctrl+S and six Ctrl+N).
launch '{"builtin": "beta-2-3", "steps": 6}'
shoot lecture_lesson.png
close

# 6. The Other density dialog at projector size.
launch
press alt+d o
sleep 1
shoot lecture_other_density.png screen
close

# 7. The accepted candidates under the curve after 80 steps: a rug, and bars once there are enough.
launch '{"builtin": "beta-2-3", "steps": 80, "acceptedValues": true}'
shoot lecture_accepted_values.png
close

# 8. Plain rejection stepped beside the adaptive sampler, the same 60 candidates each.
launch '{"builtin": "beta-2-3", "steps": 60, "plainBeside": true}'
shoot lecture_plain_beside.png
close

# 9. A typed density in two beats: step 11's rejected candidate with its fate,
# against the envelope it was drawn under.
launch '{"density": "exp(-x^2/2)", "lower": "-inf", "upper": "inf", "seed": 7, "steps": 2, "twoBeats": true, "wholeEnvelope": true, "largerPoints": true}'
press ctrl+n ctrl+n ctrl+n ctrl+n ctrl+n ctrl+n ctrl+n ctrl+n ctrl+n
shoot lecture_typed_two_beats.png
close

# 10. A hull that is no envelope, marked and named at once.
launch '{"density": "0.3*exp(-(x+3)^2/2) + 0.7*2*exp(-(x-2)^2*2)", "lower": "-inf", "upper": "inf", "steps": 6}'
shoot lecture_not_an_envelope.png
close

# 11. The projector theme with a fixed vertical axis, two beats and the whole envelope.
launch '{"builtin": "beta-2-3", "theme": "projector", "fixedAxis": true, "wholeEnvelope": true, "twoBeats": true, "steps": 5}'
press ctrl+n
shoot lecture_projector.png
close

# 12. A split point where nothing turns, refused by name.
launch '{"density": "0.5*exp(-(x+3)^2/2) + 0.5*exp(-(x-3)^2/2)", "lower": "-inf", "upper": "inf", "splits": [0]}'
sleep 1
shoot lecture_split_refused.png screen
close

# 13. Help > Keys within the screen at projector size, and the File menu
# with its texts whole.
launch
press alt+h k
shoot lecture_keys.png screen
close
launch
press alt+f
shoot lecture_menu.png screen
close
