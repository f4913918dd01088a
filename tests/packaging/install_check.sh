#!/usr/bin/env bash
# Installs the program into a temporary prefix and checks what a desktop finds
# there: the program, a valid launcher that starts it, the icon in every size,
# valid AppStream metainfo and the licence.
# Usage: install_check.sh BUILD_DIR WORK_DIR VERSION APP_ID
set -euo pipefail
build=$1 work=$2 version=$3 id=$4

rm -rf "$work"
prefix="$work/prefix with space"
cmake --install "$build" --prefix "$prefix" --component program >/dev/null

failures=0
fail() { echo "install_check: $*" >&2; failures=$((failures + 1)); }
need() { [ -f "$prefix/$1" ] || fail "not installed: $1"; }

need bin/adaptive-rejection-sampler
[ -x "$prefix/bin/adaptive-rejection-sampler" ] || fail "the program is not executable"

desktop="$prefix/share/applications/$id.desktop"
need "share/applications/$id.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
else
  echo "install_check: desktop-file-validate not found; the launcher is not validated"
fi
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Name)" = "Adaptive Rejection Sampler" ] || fail "launcher name '$(key Name)'"
[ "$(key Icon)" = "$id" ] || fail "launcher icon '$(key Icon)'"
[ "$(key StartupWMClass)" = "Velora" ] || fail "launcher window class '$(key StartupWMClass)'"
# The launcher starts the installed program, quoted path and all.
exec_line=$(key Exec)
[ "$exec_line" = "\"$prefix/bin/adaptive-rejection-sampler\"" ] || fail "launcher runs '$exec_line'"
eval "set -- $exec_line"
[ "$("$@" --version)" = "adaptive-rejection-sampler $version" ] || fail "the launcher's command is not the program"

need "share/icons/hicolor/scalable/apps/$id.svg"
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"
for size in 16 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  need "share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$png" ] || continue
  # Width and height from the PNG header.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }')
  [ "$dims" = "${size}x${size}" ] || fail "icon of size $size is $dims"
done

metainfo="$prefix/share/metainfo/$id.metainfo.xml"
need "share/metainfo/$id.metainfo.xml"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli rejects the metainfo"
else
  echo "install_check: appstreamcli not found; the metainfo is not validated"
fi
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo has another id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metainfo launches another entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"

need share/doc/adaptive-rejection-sampler/LICENSE
need share/doc/adaptive-rejection-sampler/docs/engine.md
grep -q "MIT License" "$prefix/share/doc/adaptive-rejection-sampler/LICENSE" || fail "the licence is not MIT"

[ "$failures" -eq 0 ] || exit 1
echo "install_check: program, launcher, icons, metainfo and licence installed in $prefix"
