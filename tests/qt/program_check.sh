#!/usr/bin/env bash
# The built program and screenshot tool from outside, as a user's shell runs
# them: --help and --version without a window, the one line without a
# display, Qt's diagnostics only with ARS_DEBUG=1, and render-screenshot's
# arguments and message boxes.
# Usage: program_check.sh PROGRAM RENDER_SCREENSHOT VERSION
set -euo pipefail
program=$1 screenshot=$2 version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "program_check: $*" >&2; failures=$((failures + 1)); }

# Runs "$@" with stdout, stderr and the status kept in $out, $err and $status.
run() {
  status=0
  "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
  out=$(cat "$work/out") err=$(cat "$work/err")
}

no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u ARS_DEBUG)

# --version and --help answer without a display: no window is opened.
run "${no_display[@]}" QT_QPA_PLATFORM=xcb "$program" --version
[ "$status" -eq 0 ] && [ "$out" = "adaptive-rejection-sampler $version" ] && [ -z "$err" ] ||
  fail "--version: status $status, stdout '$out', stderr '$err'"
run "${no_display[@]}" QT_QPA_PLATFORM=xcb "$program" -reverse --help
[ "$status" -eq 0 ] && [[ "$out" == "Usage: adaptive-rejection-sampler [--help | --version]"* ]] && [ -z "$err" ] ||
  fail "--help: status $status, stdout '$out', stderr '$err'"

# Without a display: exactly one line and status 1, with the platform named or
# left to Qt's default, and whatever else is on the command line.
line="cannot open a window: no display; set DISPLAY, or QT_QPA_PLATFORM=offscreen to run headless"
run "${no_display[@]}" QT_QPA_PLATFORM=xcb "$program"
[ "$status" -eq 1 ] && [ "$err" = "$line" ] && [ -z "$out" ] ||
  fail "QT_QPA_PLATFORM=xcb without DISPLAY: status $status, stderr '$err'"
run "${no_display[@]}" -u QT_QPA_PLATFORM "$program" -stylesheet nonexistent.qss
[ "$status" -eq 1 ] && [ "$err" = "$line" ] && [ -z "$out" ] ||
  fail "no platform set and no DISPLAY: status $status, stderr '$err'"

# ARS_DEBUG=1 lets Qt's own account through, before the same last line.
run "${no_display[@]}" QT_QPA_PLATFORM=xcb ARS_DEBUG=1 "$program"
[ "$status" -eq 1 ] && [ "$(tail -n 1 "$work/err")" = "$line" ] && [ "$(wc -l <"$work/err")" -gt 1 ] ||
  fail "ARS_DEBUG=1 without DISPLAY: status $status, stderr '$err'"

# A platform that cannot start is named.
run "${no_display[@]}" QT_QPA_PLATFORM=nonesuch "$program"
[ "$status" -eq 1 ] && [[ "$err" == 'cannot open a window: the Qt platform "nonesuch" could not be started'* ]] ||
  fail "QT_QPA_PLATFORM=nonesuch: status $status, stderr '$err'"

# render-screenshot: an explicit output, known ids only.
run "$screenshot"
[ "$status" -eq 2 ] && [[ "$err" == *"Usage: render-screenshot OUTPUT.png"* ]] || fail "no arguments: status $status"
run "$screenshot" 133
[ "$status" -eq 2 ] || fail "an id in place of the output: status $status"
for id in 999 100 12x ""; do
  run "$screenshot" "$work/unknown.png" 133 "$id"
  [ "$status" -eq 2 ] && [ "$err" = "render-screenshot: '$id' is not a command id" ] && [ ! -e "$work/unknown.png" ] ||
    fail "unknown id '$id': status $status, stderr '$err'"
done

# A command that opens a message box: the box is closed and reported.
run timeout 20 env -u ARS_DEBUG "$screenshot" "$work/next.png" 135
[ "$status" -eq 0 ] || fail "render-screenshot with 135: status $status (124: it hung)"
[ "$err" = 'render-screenshot: closed the message box "Attempted to take next step without first choosing starting points": Choose "Go | Step through" to choose starting points' ] ||
  fail "render-screenshot with 135: stderr '$err'"
[ "$(head -c 4 "$work/next.png" | od -An -c | tr -d ' ')" = "211PNG" ] || fail "render-screenshot wrote no PNG"

run timeout 20 env -u ARS_DEBUG "$screenshot" "$work/stepping.png" 124 134 135
[ "$status" -eq 0 ] && [ -z "$err" ] && [ -s "$work/stepping.png" ] ||
  fail "render-screenshot with 124 134 135: status $status, stderr '$err'"

[ "$failures" -eq 0 ] || exit 1
echo "program_check: all checks passed"
