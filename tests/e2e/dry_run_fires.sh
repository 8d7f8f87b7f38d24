#!/bin/sh
# dry_run_fires.sh WINE_RUN PREFIX PROGRAM_DIR WORK_DIR SHOTS_DIR PROBE
# Starts Norvale.exe /dryrun on a copy of the program folder with a daily
# Lock schedule due in two minutes that asks to wake the computer, and the default
# warning of 60 s, and checks from
# outside (DryRun.log, History.log, the schedule file, the list's rows and the
# warning read by PROBE) that it is warned of in the minute before, performed
# at the time in its row, records its run and shows tomorrow's, the wake timer
# armed for today's warning and then tomorrow's, in UTC; then that a quick
# "In 1 Minute" Turn Off Display row is performed a minute after Go, its warning shown meanwhile,
# and that a tray icon lost to a restarted Explorer comes back on its "TaskbarCreated".
# The display is the caller's.
set -u
wine_run=$1 prefix=$2 program=$3 work=$4 shots=$5 probe=$6
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" NORVALE_DESKTOP=NorvaleE2E
machine='HKLM\Software\Norvale Labs\Norvale\Settings'
# The preferences this test sets go again, so the next test of the prefix starts as a user would.
restore() {
  wineserver -k 2>/dev/null
  for value in txtWarn chkLog; do wine reg delete "$machine" /v $value /f /reg:32 >/dev/null 2>&1; done
}
fail() { echo "FAIL: $*"; restore; exit 1; }
. "$(dirname "$0")/wait_for.sh"
. "$(dirname "$0")/own_prefix.sh"
if [ -n "${NORVALE_MAIN_PREFIX:-}" ]; then own_prefix "$NORVALE_MAIN_PREFIX" "$prefix" || fail "no Wine prefix"; fi
rows() { wine "$probe" rows 2>/dev/null | tr -d '\r'; }
# The log's action lines, without those of the wake timer.
actions() { grep -v "	Wake	" "$work/DryRun.log" 2>/dev/null | tr -d '\r'; }
logged() { n=$(actions | grep -c .); [ "${n:-0}" -ge "$1" ]; }
# Set for a quarter of a minute before the warning of the run due at $1 (seconds since 1970).
woken_for() { date -u -d "@$(( $1 - 75 ))" '+%Y-%m-%dT%H:%M:%SZ'; }
listed() { rows | grep -q "$1"; }

"$wine_run" "$prefix" cmd /c exit || fail "no Wine prefix"
rm -rf "$work" && mkdir -p "$work/data" "$shots" || fail "no work folder"
cp -r "$program/Norvale.exe" "$program/Localization.txt" "$program/Skins" "$work/" ||
  fail "program folder incomplete"

# A returning user: no first-run language window, no help.
key='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
wine reg add "$key" /v Language /d English /f >/dev/null 2>&1
wine reg add "$key" /v showHelp /d 0 /f >/dev/null 2>&1
wine reg add "$machine" /v txtWarn /d 60 /f /reg:32 >/dev/null 2>&1
wine reg add "$machine" /v chkLog /d 1 /f /reg:32 >/dev/null 2>&1

# Due in two minutes with the default minute's warning, leaving the program time to
# come up before the warning.
wait_for 30 sh -c '[ "$(date +%S)" -lt 40 ]'
# Every date and time from the due minute itself, which may fall after midnight.
due_at=$(date -d "$(date -d '+2 minute' '+%Y-%m-%d %H:%M')" +%s)
due=$(date -d "@$due_at" '+%H:%M')
warned=$(date -d "@$((due_at - 60))" '+%H:%M')
today=$(date -d "@$due_at" '+%-m/%-d/%Y')
tomorrow=$(date -d "@$((due_at + 86400))" '+%-m/%-d/%Y')
printf '<DATA>\r\nLastRunTime=\r\nItemType=Lock\r\nEnabled=1\r\n</DATA>\r\n\r\n<SCHEDULER>\r\nStartDate=%s\r\nStartTime=%s:00\r\nRepeat=-1\r\nSAccurancy=0\r\nPeriod=\r\nRunOnStart=0\r\nRunOnEnd=0\r\nWakeToRun=1\r\n</SCHEDULER>\r\n\r\n' \
  "$today" "$due" >"$work/data/Daily.sch"

wine explorer /desktop=NorvaleE2E,1024x768 "$(winepath -w "$work/Norvale.exe")" /dryrun \
  </dev/null >/dev/null 2>&1 &
wait_for 60 listed "^Daily	" || fail "the main window did not list the schedule within a minute"
rows
import -window root "$shots/e2e-main-window.png" 2>/dev/null


wait_for 130 wine "$probe" warning || fail "no warning within 130 s"
shown=$(date '+%H:%M')
import -window root "$shots/e2e-warning.png" 2>/dev/null
[ "$shown" = "$warned" ] || fail "the warning showed at $shown, not in the minute before $due"
echo "PASS: the warning showed at $shown, a minute before $due"
wait_for 90 logged 1 || fail "nothing was logged after the warning"
wait_for 10 listed "^Daily	.*	$tomorrow $due:00	" || { rows; fail "the row does not show tomorrow's run"; }
import -window root "$shots/e2e-after-firing.png" 2>/dev/null
log="$work/DryRun.log"
cat "$log"
grep -q "	Lock	LockWorkStation	force=True" "$log" || fail "unexpected log"
wakes=$(grep "	Wake	" "$log" | tr -d '\r' | cut -f3)
[ "$(echo "$wakes" | head -n 1)" = "SetWaitableTimerEx $(woken_for "$due_at")" ] ||
  fail "the wake timer was not first set for today's run"
echo "$wakes" | grep -qx "SetWaitableTimerEx $(woken_for $((due_at + 86400)))" ||
  fail "the wake timer was not set for tomorrow's run once today's was taken"
echo "PASS: the wake timer was set for $(woken_for "$due_at"), then for tomorrow's run"
at=$(actions | cut -c12-16 | head -n 1)
[ "$at" = "$due" ] || fail "logged at $at, due at $due"
rows | grep -q "^Daily	Lock	$today $due:0[0-2]	" || { rows; fail "no Last Run Time in the row"; }
tr -d '\r' <"$work/data/Daily.sch" | grep -q "^LastRunTime=$today $due:0[0-2]$" ||
  fail "no LastRunTime in the file"
grep -q "	Daily	Lock	performed" "$work/data/History.log" || fail "no history of the run"
echo "PASS: the daily schedule due at $due was logged, not performed; its row shows tomorrow"

# The quick row: entry 1 of the delay list is "In 1 Minute".
go=$(date +%s)
wine "$probe" go 1 "Turn Off Display" || fail "could not press Go"
echo "Go pressed at $(date -d @"$go" +%T)"
wait_for 10 listed "^Quick Schedule" || fail "no quick row after Go"
wait_for 120 logged 2 || { rows; date; fail "the quick row did not fire within two minutes"; }
fired=$(date -d "$(actions | sed -n 2p | cut -c1-19)" +%s)
# Explorer restarted: its new notification area knows no icon and says "TaskbarCreated".
# The program asks after its icon at nothing else, so that brings it back.
wait_for 30 wine "$probe" tray || fail "no tray icon"
wine "$probe" tray-delete || fail "could not delete the tray icon"
wine "$probe" tray && fail "the tray icon was not deleted"
lost=$(date +%s)
wine "$probe" taskbar-created || fail "could not announce TaskbarCreated"
wait_for 30 wine "$probe" tray || fail "the tray icon did not come back within 30 s of TaskbarCreated"
echo "PASS: the tray icon came back $(( $(date +%s) - lost )) s after TaskbarCreated"
restore
actions | sed -n 2p
actions | sed -n 2p | grep -q "	Turn Off Display	SendMessage WM_SYSCOMMAND SC_MONITORPOWER 2	" ||
  fail "the quick row did not log Turn Off Display"
# Go was pressed after $go; whole seconds in the log lose up to one more.
# Warned of at once, as its warning is as long as its delay, and performed at its moment.
[ $((fired - go)) -ge 59 ] || fail "the quick row fired $((fired - go)) s after Go"
[ $((fired - go)) -le 66 ] || fail "the quick row fired $((fired - go)) s after Go"
echo "PASS: the quick row fired $((fired - go)) s after Go"
