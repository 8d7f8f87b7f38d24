#!/bin/sh
# dry_run_fires.sh WINE_RUN PREFIX PROGRAM_DIR WORK_DIR SHOTS_DIR
# Starts Norvale.exe /dryrun on a copy of the program folder with one schedule due
# in the coming minute, waits for it to fire and checks DryRun.log. The display
# is the caller's (the test command runs an Xvfb).
set -u
wine_run=$1 prefix=$2 program=$3 work=$4 shots=$5
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
fail() { echo "FAIL: $*"; wineserver -k 2>/dev/null; exit 1; }

"$wine_run" "$prefix" cmd /c exit || fail "no Wine prefix"
rm -rf "$work" && mkdir -p "$work/data" "$shots" || fail "no work folder"
cp -r "$program/Norvale.exe" "$program/Localization.txt" "$program/Skins" "$work/" ||
  fail "program folder incomplete"

# A returning user: no first-run language window, no help.
key='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
wine reg add "$key" /v Language /d English /f >/dev/null 2>&1
wine reg add "$key" /v showHelp /d 0 /f >/dev/null 2>&1

# Due in the next minute; leave room so the program is up before it comes.
[ "$(date +%S)" -gt 45 ] && sleep 16
due=$(date -d '+1 minute' '+%-m/%-d/%Y %H:%M')
set -- $due
printf '<DATA>\r\nLastRunTime=\r\nItemType=Reboot\r\nEnabled=1\r\n</DATA>\r\n\r\n<SCHEDULER>\r\nStartDate=%s\r\nStartTime=%s:00\r\nRepeat=0\r\nSAccurancy=0\r\nPeriod=\r\nRunOnStart=0\r\nRunOnEnd=0\r\n</SCHEDULER>\r\n\r\n' \
  "$1" "$2" >"$work/data/Soon.sch"

wine explorer /desktop=NorvaleE2E,1024x768 "$(winepath -w "$work/Norvale.exe")" /dryrun \
  </dev/null >/dev/null 2>&1 &
sleep 8
import -window root "$shots/e2e-main-window.png" 2>/dev/null

log="$work/DryRun.log"
for _ in $(seq 1 120); do
  [ -s "$log" ] && break
  sleep 1
done
sleep 2
import -window root "$shots/e2e-after-firing.png" 2>/dev/null
wineserver -k 2>/dev/null
[ -s "$log" ] || fail "nothing was logged within two minutes"
cat "$log"
grep -q "	Reboot	ExitWindowsEx flags=6 reason=0	force=True" "$log" || fail "unexpected log"
logged=$(cut -c12-16 "$log" | head -n 1)
[ "$logged" = "$2" ] || fail "logged at $logged, due at $2"
echo "PASS: the schedule due at $2 was logged, not performed"
