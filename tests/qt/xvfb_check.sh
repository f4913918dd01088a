#!/usr/bin/env bash
# The program in a real X server: starts it under Xvfb, finds its window by
# title, throws darts with Ctrl+T as a user would, and checks the screen for
# the blue density curve and the red darts. Qt's own command-line options must
# not act, the window class is "Velora", and a message box is titled with its
# whole caption. File, Exit must end it with 0, silently. A second run ends
# with 0 when its window is destroyed from outside.
# Usage: xvfb_check.sh PROGRAM [ARTEFACT_DIR]
set -euo pipefail

program=$1
artefacts=${2:-}
title="Adaptive Rejection Sampler"

check_name=xvfb_check
source "$(dirname "$0")/xvfb_common.sh"
start_xvfb

# Options Qt would act on if it saw them; without XDG_RUNTIME_DIR Qt would warn.
echo '* { background: #FF00FF; }' >"$workdir/magenta.qss"
env -u XDG_RUNTIME_DIR -u ARS_DEBUG QT_QPA_PLATFORM=xcb "$program" -reverse -qwindowtitle Wrong \
  -stylesheet "$workdir/magenta.qss" -name wrong >"$workdir/program.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) ||
  fail "no window named '$title' appeared"
name=$(xdotool getwindowname "$window")
[ "$name" = "$title" ] || fail "window name is '$name'"
class=$(xprop -id "$window" WM_CLASS)
[ "$class" = 'WM_CLASS(STRING) = "adaptive-rejection-sampler", "Velora"' ] || fail "window class: $class"
icons=$(xprop -id "$window" _NET_WM_ICON | grep -c "Icon (" || true)
[ "$icons" -ge 3 ] || fail "the window offers $icons icon sizes"

# Without a window manager there is nothing to activate through; focus will do.
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

shot="$workdir/screen.png"
# Screenshots until more than $2 pixels have colour $1 (five seconds at most);
# prints the last count.
wait_for() {
  local n=0
  for _ in $(seq 50); do
    import -window root "$shot"
    n=$(count "$shot" "$1")
    [ "$n" -gt "$2" ] && break
    sleep 0.1
  done
  echo "$n"
}

blue=$(wait_for "#0000FF" 100)
[ "$blue" -gt 100 ] || fail "the blue density curve is not on the screen ($blue pixels)"

# Only the caption's text is red before the throw.
before=$(count "$shot" "#FF0000")
[ "$before" -lt 500 ] || fail "$before red pixels before any darts were thrown"
[ "$(count "$shot" "#FF00FF")" -eq 0 ] || fail "the style sheet given on the command line was applied"
# The menu bar starts with File at the left, not mirrored.
eval "$(xdotool getwindowgeometry --shell "$window")"
file_ink=$(convert "$shot" -crop "40x20+$X+$Y" -colorspace gray -threshold 50% -negate \
  -format "%[fx:round(mean*w*h)]" info:)
[ "$file_ink" -gt 10 ] || fail "no menu title at the left of the menu bar ($file_ink dark pixels)"
xdotool key --clearmodifiers ctrl+t
red=$(wait_for "#FF0000" 1000)
[ -n "$artefacts" ] && mkdir -p "$artefacts" && cp "$shot" "$artefacts/xvfb_darts.png"
[ "$red" -gt 1000 ] || fail "no red darts on the screen after Ctrl+T ($red pixels)"
blue=$(count "$shot" "#0000FF")
[ "$blue" -gt 20 ] || fail "the blue curve went away with the darts ($blue pixels)"
echo "xvfb_check: window '$name', $blue blue and $red red pixels after Ctrl+T"

# A message box carries its caption, exactly, as its title.
caption="Attempted to take next step without first choosing starting points"
xdotool key --clearmodifiers ctrl+n
box=$(timeout 10 xdotool search --sync --onlyvisible --name "^${caption}\$" | head -n 1) ||
  fail "no message box titled '$caption' appeared"
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
for _ in $(seq 50); do
  xdotool search --onlyvisible --name "^${caption}\$" >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name "^${caption}\$" >/dev/null 2>&1 && fail "the message box did not close on Return"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

# File, Exit through the menu's mnemonics.
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key x
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "File, Exit did not end the program"
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "xvfb_check: File, Exit ended the program with status 0"
[ -s "$workdir/program.log" ] && fail "the program wrote to standard output or error: $(head -n 3 "$workdir/program.log")"

# Destroyed from outside, as a crashed window manager or xdotool leaves it.
QT_QPA_PLATFORM=xcb "$program" >"$workdir/program.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) ||
  fail "no window named '$title' appeared the second time"
xdotool windowclose "$window"
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program ran on after its window was destroyed"
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "after its window was destroyed the program ended with status $status"
echo "xvfb_check: a window destroyed from outside ended the program with status 0"
