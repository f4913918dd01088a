#!/usr/bin/env bash
# The stepping display in a real X server, as a person would use it: Ctrl+S,
# Ctrl+N, then a screenshot of the window. The status line under the plot
# must carry text and the legend beside it its blue, red and green swatches.
# Usage: xvfb_stepping_check.sh PROGRAM [ARTEFACT_DIR]
set -euo pipefail

program=$1
artefacts=${2:-}
title="Adaptive Rejection Sampler"

check_name=xvfb_stepping_check
source "$(dirname "$0")/xvfb_common.sh"
start_xvfb

QT_QPA_PLATFORM=xcb "$program" >"$workdir/program.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) ||
  fail "no window named '$title' appeared"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

# Dark (text) pixels in an image.
dark() {
  convert "$1" -colorspace Gray -threshold 40% -negate -format "%[fx:round(mean*w*h)]" info:
}

shot="$workdir/window.png"
status="$workdir/status.png"
sleep 0.5
xdotool key --clearmodifiers ctrl+s
sleep 0.3
xdotool key --clearmodifiers ctrl+n
# Screenshots until the envelope's green squeeze shows in the plot (five seconds at most).
for _ in $(seq 50); do
  import -window "$window" "$shot"
  [ "$(count "$shot" "#00FF00")" -gt 50 ] && break
  sleep 0.1
done
[ -n "$artefacts" ] && mkdir -p "$artefacts" && cp "$shot" "$artefacts/xvfb_stepping.png"

# The status line: the bottom strip of the window, text at the left, legend at the right.
height=$(identify -format %h "$shot")
width=$(identify -format %w "$shot")
strip=44
convert "$shot" -crop "$((width / 2))x${strip}+0+$((height - strip))" +repage "$status"
text=$(dark "$status")
[ "$text" -gt 100 ] || fail "the status line shows no text ($text dark pixels)"
convert "$shot" -crop "$((width / 2))x${strip}+$((width / 2))+$((height - strip))" +repage "$status"
for colour in "#0000FF" "#FF0000" "#00FF00"; do
  n=$(count "$status" "$colour")
  [ "$n" -gt 10 ] || fail "the legend has no $colour swatch ($n pixels)"
done
echo "xvfb_stepping_check: status line with $text dark pixels and the legend's swatches after Ctrl+S, Ctrl+N"

xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key x
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "File, Exit did not end the program"
status_code=0
wait "$app_pid" || status_code=$?
app_pid=""
[ "$status_code" -eq 0 ] || fail "the program ended with status $status_code"
