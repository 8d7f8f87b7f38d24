#!/usr/bin/env bash
# Builds Norvale for Windows and starts it under Wine in a virtual desktop with a
# taskbar, so the tray icon shows. Arguments go to Norvale.exe (try /dryrun:
# power actions are then logged to DryRun.log, never performed).
# Without a display it runs on a private X server for NORVALE_START_SECONDS
# (default 30) and leaves a screenshot in build/shots/start.png.
# "scripts/start.sh --list" instead prints the schedule list natively.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root="${NORVALE_BUILD_DIR:-$root/build}"
. "$root/scripts/common.sh"

if [ "${1:-}" = "--list" ]; then
  shift
  ensure_packages $NATIVE_PACKAGES
  cmake -G Ninja -S "$root" -B "$build_root/app" -DCMAKE_BUILD_TYPE=Release -DNORVALE_TESTS=OFF >/dev/null
  cmake --build "$build_root/app" -j2 >/dev/null
  program="$build_root/app/apps/norvale/norvale"
  data="$(dirname "$program")/data"
  if [ ! -d "$data" ]; then
    mkdir -p "$data"
    cp "$root"/examples/data/*.sch "$data/"
  fi
  exec "$program" "$@"
fi

ensure_packages $NATIVE_PACKAGES $WINDOWS_PACKAGES
build="$build_root/program"
cmake -G Ninja -S "$root" -B "$build" --toolchain "$root/cmake/toolchain-mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DNORVALE_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target Norvale Kestrup >/dev/null
folder="$build/Norvale"
if [ ! -d "$folder/data" ]; then
  mkdir -p "$folder/data"
  cp "$root"/examples/data/*.sch "$folder/data/"
fi

prefix="$build/wineprefix"
"$root/cmake/wine-run.sh" "$prefix" cmd /c exit
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL="${NORVALE_WINE_LOCALE:-C.UTF-8}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exe=$(winepath -w "$folder/Norvale.exe")

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Norvale (close the Wine desktop window to end it)."
  exec wine explorer /desktop=Norvale,1024x768 "$exe" "$@"
fi

display=""
for n in $(seq 140 180); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb >/dev/null 2>&1 || true' EXIT
export DISPLAY=":$display"
sleep 1
wineserver -k >/dev/null 2>&1 || true
echo "No display: running Norvale on a private X server for ${NORVALE_START_SECONDS:-30} s."
wine explorer /desktop=Norvale,1024x768 "$exe" "$@" </dev/null >/dev/null 2>&1 &
sleep "${NORVALE_START_SECONDS:-30}"
mkdir -p "$build_root/shots"
import -window root "$build_root/shots/start.png"
echo "Screenshot: $build_root/shots/start.png"
