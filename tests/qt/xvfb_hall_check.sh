#!/usr/bin/env bash
# The window maximised on a 1920x1080 screen, as a projector shows it: Ctrl+S,
# Ctrl+N and a screenshot. The curves must be drawn thick enough to see from
# the back of a hall (many more pixels than at the opening size), and the
# status line must carry text.
# Usage: xvfb_hall_check.sh PROGRAM [ARTEFACT_DIR]
set -euo pipefail

program=$1
artefacts=${2:-}
title="Adaptive Rejection Sampler"

check_name=xvfb_hall_check
source "$(dirname "$0")/xvfb_common.sh"
start_xvfb 1920x1080x24

QT_QPA_PLATFORM=xcb "$program" >"$workdir/program.log" 2>&1 &
app_pid=$!

maximise_window 1920 1080

shot="$workdir/window.png"
sleep 0.5
xdotool key --clearmodifiers ctrl+s
sleep 0.3
xdotool key --clearmodifiers ctrl+n
for _ in $(seq 50); do
  import -window "$window" "$shot"
  [ "$(count "$shot" "#00FF00")" -gt 1000 ] && break
  sleep 0.1
done
[ -n "$artefacts" ] && mkdir -p "$artefacts" && cp "$shot" "$artefacts/xvfb_maximised_stepping.png"

width=$(identify -format %w "$shot")
[ "$width" -ge 1900 ] || fail "the window is $width pixels wide, not maximised"
# At the opening size the curve is about 350 blue pixels, the squeeze 250 green.
blue=$(count "$shot" "#0000FF")
green=$(count "$shot" "#00FF00")
[ "$blue" -gt 2000 ] || fail "the curve is thin: $blue blue pixels"
[ "$green" -gt 1500 ] || fail "the squeeze is thin: $green green pixels"
height=$(identify -format %h "$shot")
convert "$shot" -crop "$((width / 2))x60+0+$((height - 60))" +repage "$workdir/status.png"
text=$(convert "$workdir/status.png" -colorspace Gray -threshold 40% -negate -format "%[fx:round(mean*w*h)]" info:)
[ "$text" -gt 300 ] || fail "the status line shows little text ($text dark pixels)"
echo "xvfb_hall_check: maximised to ${width}x${height}: $blue blue and $green green pixels, status text $text dark pixels"

kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""
