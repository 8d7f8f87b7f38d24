#!/bin/sh
# Photographs the gallery under Wine's virtual desktop at one DPI:
#   screenshot.sh BUILD_DIR OUT_DIR DPI      ->  OUT_DIR/gallery-DPI.png
# BUILD_DIR is a Windows build tree with apps/gallery/Gallery.exe. Each DPI gets
# its own Wine prefix under OUT_DIR (the DPI is a setting of the prefix) and its
# own X server on a free display; both end with the script.
set -eu
if [ $# -ne 3 ]; then
  echo "usage: $0 BUILD_DIR OUT_DIR DPI" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
dpi=$3
exe="$build/apps/gallery/Gallery.exe"
[ -f "$exe" ] || { echo "no $exe: build the Gallery target first" >&2; exit 1; }
for tool in Xvfb import wine wineserver; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

# The screen grows with the DPI so the window fits as it would on such a monitor.
width=$((1024 * dpi / 96))
height=$((768 * dpi / 96))
shot="$out/gallery-$dpi.png"
export WINEPREFIX="$out/gallery-wineprefix-$dpi"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL="${NORVALE_WINE_LOCALE:-en_US.UTF-8}"

# Xvfb picks a free display itself and names it on the descriptor given.
number="$out/.gallery-display-$dpi"
rm -f "$number"
Xvfb -displayfd 9 -screen 0 "${width}x${height}x24" -nolisten tcp 9>"$number" \
  >"$out/gallery-xvfb-$dpi.log" 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -f "$number"
}
trap cleanup EXIT INT TERM
for _ in $(seq 1 100); do [ -s "$number" ] && break; sleep 0.1; done
display=$(cat "$number" 2>/dev/null || true)
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"

if [ ! -f "$WINEPREFIX/.gallery-ready" ]; then
  wine wineboot -i </dev/null >/dev/null 2>&1
  # Every program of this prefix opens in one virtual desktop of the screen's size,
  # which also has a taskbar with the notification area.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Gallery /f </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Gallery /d "${width}x${height}" /f \
    </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >/dev/null 2>&1
  # Read when the session starts: end this one so the next starts with them.
  wineserver -w
  touch "$WINEPREFIX/.gallery-ready"
fi

wine "$exe" --seconds 90 </dev/null >"$out/gallery-$dpi.log" 2>&1 &
app=$!
# The bare desktop has a few dozen colours; the painted window's text brings hundreds.
colours() { import -window root "$1" && convert "$1" -format '%k' info:; }
probe="$out/.gallery-probe-$dpi.png"
painted=0
for _ in $(seq 1 90); do
  sleep 1
  kill -0 "$app" 2>/dev/null || { echo "the gallery ended before it was photographed" >&2; exit 1; }
  if [ "$(colours "$probe")" -ge 150 ]; then
    painted=$((painted + 1))
    [ "$painted" -ge 2 ] && break
  fi
done
rm -f "$probe"
[ "$painted" -ge 2 ] || { echo "the gallery's window never appeared" >&2; exit 1; }
sleep 2  # the last controls settle
import -window root "$shot"
echo "$shot"
