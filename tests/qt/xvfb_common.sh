# Shared by the Xvfb checks; sourced after setting check_name.
# Gives a work directory cleaned up on exit (with the program and Xvfb
# stopped), fail, start_xvfb and count.

workdir=$(mktemp -d)
# Remembered view options of the user running the checks must not change their pictures.
export XDG_CONFIG_HOME="$workdir/config"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

fail() {
  echo "$check_name: $*" >&2
  if [ -s "$workdir/program.log" ]; then
    echo "$check_name: the program's output:" >&2
    tail -n 40 "$workdir/program.log" >&2
  fi
  exit 1
}

# Xvfb picks a free display itself and writes its number once it accepts
# clients, so parallel runs do not collide. -noreset: without it the server
# resets when its last client leaves (a check that closes the program and
# starts it again), and a client connecting meanwhile is refused. The screen
# is 1024x768 unless given (as WxHxDEPTH).
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp -noreset 3>"$workdir/display" >"$workdir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$workdir/display" ] && break
    sleep 0.1
  done
  [ -s "$workdir/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$workdir/display")"
  xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"
}

# Pixels of exactly this colour in an image.
count() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:round(mean*w*h)]" info:
}

# Waits for the window titled $title and does what a window manager does on
# maximise: the window over the whole screen (WIDTH HEIGHT), focused. Sets window.
maximise_window() {
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) ||
    fail "no window named '$title' appeared"
  xdotool windowmove --sync "$window" 0 0
  xdotool windowsize --sync "$window" "$1" "$2"
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
}
