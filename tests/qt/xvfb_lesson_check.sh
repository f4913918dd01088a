#!/usr/bin/env bash
# A lesson opened from the command line in a real X server, as a lecturer
# would: the program starts with the lesson's density (its title as the
# caption, in red), Ctrl+T throws darts, and the red darts fill the plot.
# A bad lesson gets a message box and the program goes on.
# Usage: xvfb_lesson_check.sh PROGRAM LESSON [ARTEFACT_DIR]
set -euo pipefail

program=$1
lesson=$2
artefacts=${3:-}
title="Adaptive Rejection Sampler"

check_name=xvfb_lesson_check
source "$(dirname "$0")/xvfb_common.sh"
start_xvfb

QT_QPA_PLATFORM=xcb "$program" "$lesson" >"$workdir/program.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) ||
  fail "no window named '$title' appeared"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

shot="$workdir/window.png"
sleep 0.5
import -window "$window" "$shot"
before=$(count "$shot" "#FF0000")
xdotool key --clearmodifiers ctrl+t
for _ in $(seq 50); do
  import -window "$window" "$shot"
  [ "$(count "$shot" "#FF0000")" -gt $((before + 2000)) ] && break
  sleep 0.1
done
[ -n "$artefacts" ] && mkdir -p "$artefacts" && cp "$shot" "$artefacts/xvfb_lesson.png"
after=$(count "$shot" "#FF0000")
[ "$after" -gt $((before + 2000)) ] || fail "no darts after Ctrl+T ($before red pixels before, $after after)"
echo "xvfb_lesson_check: $(basename "$lesson") opened from the command line; Ctrl+T drew $((after - before)) red pixels"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true

# A file that is no lesson: a message box, and the window stays.
echo '{"density": "exp(-x^2/2"' >"$workdir/bad.json"
QT_QPA_PLATFORM=xcb "$program" "$workdir/bad.json" >"$workdir/program.log" 2>&1 &
app_pid=$!
timeout 20 xdotool search --sync --onlyvisible --name "^Open lesson\$" >/dev/null ||
  fail "no message box for a bad lesson file"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended on a bad lesson file"
echo "xvfb_lesson_check: a bad lesson file gets its message box and the program goes on"
