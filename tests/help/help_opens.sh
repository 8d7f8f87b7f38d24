#!/bin/sh
# The help file opens in the Windows help viewer:
#   help_opens.sh HELP.chm WINEPREFIX SHOT.png
# HELP.chm must be a real CHM (ITSF header, and the pages, contents and index inside it
# when chmls is there to look). It is then opened with hh.exe under Wine, in WINEPREFIX (a
# Windows build tree's own prefix), on an X server of its own, and photographed into
# SHOT.png. The viewer's window must appear and must not be one plain colour.
#
# Wine renders help pages with its Gecko package, which Debian does not carry; without it
# the page pane stays white while the window, its toolbar and the contents tree still draw.
# NORVALE_HELP_MSHTML=1 lets Wine use its HTML engine on a machine that has Gecko.
#
# Wine picks its display when a prefix's session starts, so a session still running in
# WINEPREFIX (idle after another test, or on another display) is ended first: register the
# test RUN_SERIAL. The session is ended again afterwards, and so is the X server.
set -u
if [ $# -ne 3 ]; then
  echo "usage: $0 HELP.chm WINEPREFIX SHOT.png" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
runner="$here/../../cmake/wine-run.sh"
chm=$(cd "$(dirname "$1")" 2>/dev/null && pwd)/$(basename "$1")
case $2 in
  /*) prefix=$2 ;;
  *) prefix=$PWD/$2 ;;  # Wine takes absolute prefixes only
esac
shot=$3
title=${NORVALE_HELP_TITLE:-Norvale Help}
wait_seconds=${NORVALE_HELP_WAIT:-60}
started=$(date +%s)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in Xvfb import identify wine wineserver winepath od; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing"
done
[ -x "$runner" ] || fail "no Wine runner at $runner"

# ---- the file itself ---------------------------------------------------------------------
[ -f "$chm" ] || fail "no help file at $1"
size=$(wc -c <"$chm" | tr -d ' ')
magic=$(od -An -tx1 -N4 "$chm" | tr -d ' \n')
version=$(od -An -tu4 -j4 -N4 "$chm" | tr -d ' ')
[ "$magic" = "49545346" ] || fail "$chm does not start with ITSF (found hex $magic)"
[ "$version" = "3" ] || fail "$chm has ITSF version '$version', not 3"
[ "$size" -ge 4096 ] || fail "$chm is only $size bytes"
echo "ok      $chm: ITSF version 3, $size bytes"
if command -v chmls >/dev/null 2>&1; then
  listing=$(chmls -p -n list "$chm" 2>/dev/null)
  for entry in /welcome.htm /Contents.hhc /Index.hhk /#SYSTEM /#WINDOWS; do
    printf '%s\n' "$listing" | grep -Fqx "$entry" || fail "$chm lacks $entry"
  done
  pages=$(printf '%s\n' "$listing" | grep -c '\.htm$')
  echo "ok      $pages pages, contents, index and window definition inside"
else
  echo "note    chmls (fp-utils) not found: the file's contents are not listed"
fi

# ---- the viewer under Wine -----------------------------------------------------------------
mkdir -p "$(dirname "$shot")"
work=$(mktemp -d "${TMPDIR:-/tmp}/norvale-help.XXXXXX")
xvfb=""
viewer=""
# shellcheck disable=SC2317  # run by the EXIT trap
cleanup() {
  if [ -n "$viewer" ]; then kill "$viewer" 2>/dev/null; fi
  if [ -n "$xvfb" ]; then
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
display=""
for n in $(seq 200 299); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=$n
    break
  fi
done
[ -n "$display" ] || fail "no free X display"
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
# Alive as well: a server that lost the race for the display has exited.
if [ ! -e "/tmp/.X11-unix/X$display" ] || ! kill -0 "$xvfb" 2>/dev/null; then
  fail "Xvfb :$display did not start: $(cat "$work/xvfb.log")"
fi

export DISPLAY=":$display"
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
if [ "${NORVALE_HELP_MSHTML:-0}" = "1" ]; then
  export WINEDLLOVERRIDES="mscoree=;winemenubuilder.exe=d"
else
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
fi
WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
# Creates the prefix when the build tree has none yet; the session then starts on our display.
"$runner" "$prefix" cmd /c exit </dev/null >/dev/null 2>&1 || fail "Wine does not start in $prefix"
ready=$(date +%s)
winchm=$(winepath -w "$chm" 2>/dev/null | tr -d '\r')
[ -n "$winchm" ] || fail "winepath could not convert $chm"

"$runner" "$prefix" hh.exe "$winchm" </dev/null >"$work/hh.log" 2>&1 &
viewer=$!

# The window counts once it is mapped and painted: its own picture (or, without xwininfo,
# the whole screen, black until then) has more than a handful of colours, twice running.
window_id() {
  xwininfo -root -tree 2>/dev/null |
    awk -v t="\"$title\": (\"hh.exe\"" 'index($0, t) { print $1; exit }'
}
colours() { identify -format '%k' "$1" 2>/dev/null || echo 0; }
have_xwininfo=0
command -v xwininfo >/dev/null 2>&1 && have_xwininfo=1
painted=0
geometry=""
for _ in $(seq 1 "$wait_seconds"); do
  sleep 1
  kill -0 "$viewer" 2>/dev/null || fail "hh.exe ended early: $(cat "$work/hh.log")"
  if [ "$have_xwininfo" = 1 ]; then
    id=$(window_id)
    [ -n "$id" ] || { painted=0; continue; }
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || { painted=0; continue; }
    import -window "$id" "$work/window.png" 2>/dev/null || { painted=0; continue; }
    probe="$work/window.png"
  else
    import -window root "$work/root.png" 2>/dev/null || { painted=0; continue; }
    probe="$work/root.png"
  fi
  if [ "$(colours "$probe")" -ge 16 ]; then
    painted=$((painted + 1))
    [ "$painted" -ge 2 ] && break
  else
    painted=0
  fi
done
appeared=$(date +%s)
[ "$painted" -ge 2 ] || fail "the help viewer's window \"$title\" did not appear in ${wait_seconds}s"
if [ "$have_xwininfo" = 1 ]; then
  geometry=$(xwininfo -id "$id" | awk '/-geometry/ { print $2 }')
  echo "ok      window \"$title\" ($id, $geometry) is mapped, $(colours "$probe") colours"
fi

import -window root "$shot" || fail "could not take the screenshot"
shot_colours=$(colours "$shot")
[ "$shot_colours" -gt 1 ] || fail "$shot is one plain colour"
echo "ok      screenshot $shot: $shot_colours colours"
echo "timing  Wine ready $((ready - started))s, window after $((appeared - ready))s," \
  "total $(($(date +%s) - started))s"
exit 0
