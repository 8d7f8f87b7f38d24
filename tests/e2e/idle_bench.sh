#!/bin/sh
# idle_bench.sh WINE_RUN PREFIX PROGRAM_DIR WORK_DIR PROBE BARE_WINDOW [SCHEDULES]
# The real Norvale.exe under Wine with SCHEDULES (10,000) schedule files beside a
# bare Win32 window with a list view built with the same flags, in the same run:
# time from start to the window showing its rows, CPU seconds and context
# switches (wakeups) of the process over NORVALE_IDLE_SECONDS (30) idle seconds,
# the Wine server's context switches meanwhile, and the PSS, all from /proc.
# Fails past the limits: start at most 8x the bare window's, idle CPU at most the
# bare window's + 0.05 s, Norvale.exe at most 0.1 wakeups a second, and the Wine
# server woken no more than beside the bare window (+25% and 0.2 a second, for a
# busy machine). The display is the caller's.
set -u
wine_run=$1 prefix=$2 program=$3 work=$4 probe=$5 bare=$6 count=${7:-10000}
idle=${NORVALE_IDLE_SECONDS:-30}
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8 NORVALE_DESKTOP=Bench
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
machine='HKLM\Software\Norvale Labs\Norvale\Settings'
# The preference this test sets goes again, so the next test of the prefix starts as a user would.
restore() {
  wineserver -k 2>/dev/null
  wine reg delete "$machine" /v chkSplash /f /reg:32 >/dev/null 2>&1
}
fail() { echo "FAIL: $*"; restore; exit 1; }
now() { date +%s.%N; }

"$wine_run" "$prefix" cmd /c exit || fail "no Wine prefix"
rm -rf "$work" && mkdir -p "$work/data" || fail "no work folder"
cp "$program/Norvale.exe" "$program/Localization.txt" "$work/" && cp "$bare" "$work/Bare.exe" ||
  fail "program folder incomplete"
key='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
wine reg add "$key" /v Language /d English /f >/dev/null 2>&1
wine reg add "$key" /v showHelp /d 0 /f >/dev/null 2>&1
wine reg add "$machine" /v chkSplash /d 1 /f /reg:32 >/dev/null 2>&1
# Weekly schedules far from now: nothing is due while the run idles.
awk -v n="$count" -v work="$work" 'BEGIN {
  for (i = 0; i < n; i++) {
    f = sprintf("%s/data/Schedule %05d.sch", work, i)
    printf "<DATA>\r\nLastRunTime=\r\nItemType=Shut Down\r\nEnabled=1\r\n</DATA>\r\n\r\n" \
           "<SCHEDULER>\r\nStartDate=1/1/2026\r\nStartTime=03:%02d:00\r\nRepeat=-1\r\n" \
           "SAccurancy=1\r\nPeriod=sun\r\nRunOnStart=0\r\nRunOnEnd=0\r\n</SCHEDULER>\r\n\r\n", \
           i % 60 > f
    close(f)
  }
}' </dev/null || fail "could not write the schedules"
wineserver -k 2>/dev/null

# measure NAME EXE ROWS: prints "NAME start_s cpu_s switches_per_s pss_kib server_switches_per_s"
measure() {
  name=$1 exe=$2 rows=$3
  path=$(winepath -w "$work/$exe" | tr -d '\r')
  started=$(now)
  wine explorer /desktop=Bench,1024x768 "$path" </dev/null >/dev/null 2>&1 &
  limit=$(( $(date +%s) + 180 ))
  until [ "$(wine "$probe" count 2>/dev/null | tr -d '\r')" = "$rows 1" ]; do
    [ "$(date +%s)" -lt "$limit" ] || fail "$name did not show its window within 180 s"
    sleep 0.1
  done
  shown=$(now)
  pid=""
  for p in $(pgrep -f "$exe"); do
    # This run's own process, not the desktop that started it nor a Norvale.exe
    # of another test running meanwhile.
    first=$({ tr '\0' '\n' <"/proc/$p/cmdline"; } 2>/dev/null | head -n 1)
    if [ "$first" = "$path" ]; then pid=$p; break; fi
  done
  [ -n "$pid" ] || fail "no process for $exe"
  # Norvale.exe retries its tray icon until the notification area takes it,
  # which a busy desktop may be slow to put up: idle is once it is there.
  if [ "$exe" = Norvale.exe ]; then
    until wine "$probe" tray >/dev/null 2>&1; do
      [ "$(date +%s)" -lt "$limit" ] || fail "no tray icon of $name within 180 s"
      sleep 0.1
    done
  fi
  # The probe itself just ran; the idle span starts once it is gone.
  limit=$(( $(date +%s) + 30 ))
  # Its own Windows process (the script's arguments name the probe too).
  while pgrep -f '^[A-Za-z]:.*norvale_probe' >/dev/null; do
    [ "$(date +%s)" -lt "$limit" ] || fail "the probe did not end within 30 s"
    sleep 0.1
  done
  # This prefix's Wine server: the one started with this WINEPREFIX.
  server=""
  for p in $(pgrep -x 'wineserver(64)?'); do
    if { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      server=$p
    fi
  done
  [ -n "$server" ] || fail "no Wine server for $prefix"
  ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
  # Voluntary and involuntary, every thread: each is the process taken off a core.
  switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
      awk '/ctxt_switches/ { n += $2 } END { print n }'
  }
  t0=$(ticks) s0=$(switches "$pid") w0=$(switches "$server")
  sleep "$idle"  # the span measured, not a wait for something
  t1=$(ticks) s1=$(switches "$pid") w1=$(switches "$server")
  pss=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup")
  hz=$(getconf CLK_TCK)
  wineserver -k 2>/dev/null
  echo "$name $(echo "$shown $started" | awk '{ printf "%.2f", $1 - $2 }')" \
    "$(echo "$t1 $t0 $hz" | awk '{ printf "%.2f", ($1 - $2) / $3 }')" \
    "$(echo "$s1 $s0 $idle" | awk '{ printf "%.3f", ($1 - $2) / $3 }')" "$pss" \
    "$(echo "$w1 $w0 $idle" | awk '{ printf "%.3f", ($1 - $2) / $3 }')"
}

bare_line=$(measure bare Bare.exe 0) || { echo "$bare_line"; restore; exit 1; }
norvale_line=$(measure norvale Norvale.exe "$count") || { echo "$norvale_line"; restore; exit 1; }
restore
echo "$bare_line
$norvale_line" | awk -v n="$count" -v idle="$idle" '
  { start[$1] = $2; cpu[$1] = $3; wake[$1] = $4; pss[$1] = $5; server[$1] = $6 }
  END {
    printf "%-34s %12s %12s\n", "", "Norvale.exe", "bare window"
    printf "%-34s %12.2f %12.2f  (%.1fx)\n", "start to window shown, " n " rows (s)", \
      start["norvale"], start["bare"], start["norvale"] / start["bare"]
    printf "%-34s %12.2f %12.2f\n", "CPU over " idle " idle s (s)", cpu["norvale"], cpu["bare"]
    printf "%-34s %12.3f %12.3f\n", "wakeups per idle s", wake["norvale"], wake["bare"]
    printf "%-34s %12.3f %12.3f\n", "Wine server wakeups per idle s", server["norvale"], server["bare"]
    printf "%-34s %12.1f %12.1f\n", "PSS (MiB)", pss["norvale"] / 1024, pss["bare"] / 1024
    bad = 0
    if (start["norvale"] > 8 * start["bare"]) { print "FAIL: start over 8x the bare window"; bad = 1 }
    if (cpu["norvale"] > cpu["bare"] + 0.05) { print "FAIL: idle CPU over the bare window + 0.05 s"; bad = 1 }
    if (wake["norvale"] > 0.1) { print "FAIL: Norvale.exe woke over 0.1 times a second while idle"; bad = 1 }
    if (server["norvale"] > 1.25 * server["bare"] + 0.2) {
      print "FAIL: the Wine server woke more beside Norvale.exe than beside the bare window"; bad = 1
    }
    if (!bad) print "PASS: within the limits"
    exit bad
  }'
