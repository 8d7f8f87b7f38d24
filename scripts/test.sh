#!/usr/bin/env bash
# Builds every flavour and runs every test: native (sanitized) tests, the
# benchmark's load limit, a bounded fuzzing run, and the Windows tests under
# Wine on a private X server. Ends with one summary line; non-zero on failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${NORVALE_BUILD_DIR:-$root/build}"
fuzz_seconds="${NORVALE_FUZZ_SECONDS:-20}"
. "$root/scripts/common.sh"

started=$(date +%s)
passed=0
failed=0
failures=""

note_failure() {
  failed=$((failed + 1))
  failures="$failures $1"
}

# Adds the counts of a CTest log to the totals.
count_ctest() {
  local log=$1 name=$2 line total bad
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    note_failure "$name(no-result)"
    return
  fi
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  passed=$((passed + total - bad))
  if [ "$bad" -gt 0 ]; then
    failed=$((failed + bad))
    failures="$failures $name($bad)"
  fi
}

step() { echo; echo "== $*"; }

ensure_packages $NATIVE_PACKAGES $TOOLS_PACKAGES $WINDOWS_PACKAGES || exit 1

configure_and_build() {
  local dir=$1
  shift
  cmake -G Ninja -S "$root" -B "$build/$dir" "$@" >"$build/$dir.configure.log" 2>&1 &&
    cmake --build "$build/$dir" -j2 >"$build/$dir.build.log" 2>&1
}

mkdir -p "$build"
declare -A built
for flavour in native tools win64 win32; do
  step "build $flavour"
  case $flavour in
    native) args=(-DCMAKE_BUILD_TYPE=Debug -DNORVALE_SANITIZE=ON) ;;
    tools) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
                 -DNORVALE_TESTS=OFF -DNORVALE_BENCHMARKS=ON -DNORVALE_FUZZ=ON) ;;
    win64) args=(-DCMAKE_BUILD_TYPE=Release --toolchain "$root/cmake/toolchain-mingw-x86_64.cmake") ;;
    win32) args=(-DCMAKE_BUILD_TYPE=Release --toolchain "$root/cmake/toolchain-mingw-i686.cmake") ;;
  esac
  if configure_and_build "$flavour" "${args[@]}"; then
    built[$flavour]=1
    echo "built"
  else
    tail -n 40 "$build/$flavour.configure.log" "$build/$flavour.build.log" 2>/dev/null
    note_failure "build-$flavour"
  fi
done

if [ -n "${built[win64]:-}" ]; then
  step "installer and portable zip"
  if ls "$build"/win64/packages/Norvale-*-setup.exe "$build"/win64/packages/Norvale-*-portable.zip \
       >/dev/null 2>&1; then
    stat -c '%n: %s bytes' "$build"/win64/packages/Norvale-* | sed 's|.*/||'
    passed=$((passed + 1))
  else
    note_failure packages
  fi
fi

if [ -n "${built[native]:-}" ]; then
  step "native tests (ASan + UBSan)"
  (cd "$build/native" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2) \
    2>&1 | tee "$build/native.test.log" | grep -E 'tests passed|\*\*\*Failed|\(Failed\)|Not Run|Timeout' || true
  count_ctest "$build/native.test.log" native
fi

if [ -n "${built[tools]:-}" ]; then
  step "benchmark (10,000 schedule files must load in under 1 s)"
  if "$build/tools/tests/bench/norvale_bench" --benchmark_min_time=0.1 >"$build/bench.log" 2>&1; then
    passed=$((passed + 1))
  else
    note_failure "bench"
  fi
  grep -E '^(BM_|loadData|watcher)' "$build/bench.log" || tail -n 20 "$build/bench.log"

  step "fuzzing for ${fuzz_seconds}s"
  corpus="$build/fuzz-corpus"
  mkdir -p "$corpus"
  if (cd "$build" && "$build/tools/tests/fuzz/norvale_fuzz_schedule" -max_total_time="$fuzz_seconds" \
        -print_final_stats=1 "$corpus" "$root/tests/fuzz/corpus" >"$build/fuzz.log" 2>&1); then
    grep -E 'Done [0-9]+ runs' "$build/fuzz.log" || true
    passed=$((passed + 1))
  else
    tail -n 30 "$build/fuzz.log"
    note_failure "fuzz"
  fi
fi

if [ -n "${built[win64]:-}" ]; then
  step "Windows tests under Wine"
  display=""
  for n in $(seq 90 130); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$build/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  cleanup() {
    WINEPREFIX="$build/win64/wineprefix" wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" >/dev/null 2>&1 || true
  }
  trap cleanup EXIT
  (cd "$build/win64" && DISPLAY=":$display" WINEDEBUG=-all ctest --output-on-failure -j3) \
    2>&1 | tee "$build/win64.test.log" | grep -E 'tests passed|\*\*\*Failed|\(Failed\)|Not Run|Timeout' || true
  count_ctest "$build/win64.test.log" win64
  cleanup
  trap - EXIT
fi

took=$(( $(date +%s) - started ))
if [ "$failed" -eq 0 ]; then
  echo "SUMMARY: $passed passed, 0 failed (${took}s)"
  exit 0
fi
echo "SUMMARY: $passed passed, $failed failed:$failures (${took}s)"
exit 1
