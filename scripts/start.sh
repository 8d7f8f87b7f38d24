#!/usr/bin/env bash
# Builds Norvale and starts it: for now the schedule list of its data folder with
# every next run (sample schedules are put there on the first start).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${NORVALE_BUILD_DIR:-$root/build}/app"
. "$root/scripts/common.sh"
ensure_packages $NATIVE_PACKAGES
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DNORVALE_TESTS=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
program="$build/apps/norvale/norvale"
data="$(dirname "$program")/data"
if [ ! -d "$data" ]; then
  mkdir -p "$data"
  cp "$root"/examples/data/*.sch "$data/"
fi
exec "$program" "$@"
