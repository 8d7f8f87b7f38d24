#!/bin/sh
# command_line.sh WINE_RUN PREFIX PROGRAM_DIR WORK_DIR PROBE
# Norvale.exe's command line against the real program in a dry run: a second
# copy hands "/quick:... /in:1" to the running one, which logs the action a
# minute later, and "/when-idle:1" a minute of idle time later; "/when-ends:"
# on a short-lived program logs when it ends;
# "/list" prints the rows; "/check" a line for each action; "/cancel" removes
# what is pending; a usage error and
# a request with no copy running (which starts one hidden) end as they say. In
# German and Russian the usage text, a usage error and /list come in that
# language, as UTF-8 into a pipe, with the columns aligned by characters.
set -u
wine_run=$1 prefix=$2 program=$3 work=$4 probe=$5
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" NORVALE_DESKTOP=NorvaleCL
machine='HKLM\Software\Norvale Labs\Norvale\Settings'
key='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
restore() {
  wineserver -k 2>/dev/null
  wine reg delete "$machine" /v txtWarn /f /reg:32 >/dev/null 2>&1
}
fail() { echo "FAIL: $*"; restore; exit 1; }
. "$(dirname "$0")/wait_for.sh"
. "$(dirname "$0")/own_prefix.sh"
if [ -n "${NORVALE_MAIN_PREFIX:-}" ]; then own_prefix "$NORVALE_MAIN_PREFIX" "$prefix" || fail "no Wine prefix"; fi
logged() { n=$(grep -c . "$work/DryRun.log" 2>/dev/null); [ "${n:-0}" -ge "$1" ]; }
norvale() { wine "$work/Norvale.exe" "$@" 2>"$work/stderr" | tr -d '\r'; }

"$wine_run" "$prefix" cmd /c exit || fail "no Wine prefix"
rm -rf "$work" && mkdir -p "$work/data" || fail "no work folder"
cp -r "$program/Norvale.exe" "$program/Localization.txt" "$program/Skins" "$work/" ||
  fail "program folder incomplete"
wine reg add "$key" /v Language /d English /f >/dev/null 2>&1
wine reg add "$key" /v showHelp /d 0 /f >/dev/null 2>&1
wine reg add "$machine" /v txtWarn /d 0 /f /reg:32 >/dev/null 2>&1  # performed without a warning

wine "$work/Norvale.exe" /quick:Explode /in:5 >/dev/null 2>"$work/stderr"
rc=$?
[ $rc -eq 2 ] || fail "a usage error ended with $rc"
grep -q 'Unknown action "Explode"' "$work/stderr" || fail "no reason for the usage error"
echo "PASS: a usage error ends with 2: $(tr -d '\r' <"$work/stderr")"

# The language the user chose, read by a copy that only prints.
wine reg add "$key" /v Language /d Deutsch /f >/dev/null 2>&1
norvale '/?' >"$work/usage" || fail "/? ended with $?"
grep -q '^Aufruf: Norvale.exe \[/dryrun\] \[Anfrage\]$' "$work/usage" &&
  grep -q 'AKTION zur nächsten Uhrzeit HH:MM' "$work/usage" || fail "no German usage: $(cat "$work/usage")"
long=$(printf '%050d' 0)
wine "$work/Norvale.exe" "/quick:Reboot" "/in:$long" >/dev/null 2>"$work/stderr"
tr -d '\r' <"$work/stderr" | grep -qx "Norvale: /in: erwartet eine Anzahl Minuten von 1 bis 44640, nicht \"$(printf '%040d' 0)…\"" ||
  fail "the German usage error is not as expected: $(cat "$work/stderr")"
echo "PASS: the usage text and a usage error in German, the bad argument cut at 40 characters"
wine reg add "$key" /v Language /d "Русский" /f >/dev/null 2>&1
printf '<DATA>\r\nLastRunTime=\r\nItemType=Stand by\r\nEnabled=1\r\n</DATA>\r\n\r\n<SCHEDULER>\r\nStartDate=2026-01-01\r\nStartTime=23:45:00\r\nRepeat=-1\r\nSAccurancy=0\r\nPeriod=\r\nRunOnStart=0\r\nRunOnEnd=0\r\n</SCHEDULER>\r\n' \
  >"$work/data/Ночь.sch"
norvale /list >"$work/list" || fail "/list in Russian ended with $?"
cat "$work/list"
grep -q '^Имя расписания  Тип ' "$work/list" && grep -q '^Ночь            Ждущий режим  ' "$work/list" ||
  fail "the Russian /list is not aligned by characters or not in Russian"
rm -f "$work/data/Ночь.sch"
wine reg add "$key" /v Language /d English /f >/dev/null 2>&1

# /check is answered by the copy asked: a line for each action of the table,
# whatever Wine reports of its power capabilities.
norvale /check >"$work/check" || fail "/check ended with $?"
cat "$work/check"
[ "$(grep -c '^  [A-Z][A-Za-z ]*: ' "$work/check")" -eq 8 ] &&
  grep -q '^What each action does on this computer:$' "$work/check" &&
  grep -q '^  Shut Down: .*shutdown privilege' "$work/check" &&
  grep -q '^  Stand By: ' "$work/check" || fail "/check does not give one line per action"
echo "PASS: /check prints one line for each action"
echo "PASS: /list in Russian, its columns aligned by characters"

wine explorer /desktop=NorvaleCL,1024x768 "$(winepath -w "$work/Norvale.exe")" /dryrun \
  </dev/null >/dev/null 2>&1 &
wait_for 60 wine "$probe" rows >/dev/null 2>&1 || fail "the main window did not come up"

asked=$(date +%s)
# Each action comes in a minute of its own: the program performs one a minute.
out=$(norvale '/quick:Shut Down' /in:2) || fail "/in:2 ended with $?: $(cat "$work/stderr")"
echo "$out"
echo "$out" | grep -q '^Added "Quick Schedule .*": Shut Down, ' || fail "unexpected answer to /in:2"
# Nobody touches this display: three minutes of idle time come with the minutes.
norvale /quick:hibernate /when-idle:3 >/dev/null || fail "/when-idle:3 was refused"
# A program that ends in about ten seconds.
wine ping -n 10 127.0.0.1 >/dev/null 2>&1 &
wait_for 30 sh -c "wine \"$work/Norvale.exe\" /quick:reboot /when-ends:ping.exe >\"$work/ends\" 2>&1" ||
  fail "/when-ends:ping.exe was refused: $(cat "$work/ends")"
tr -d '\r' <"$work/ends"
norvale '/quick:Log Off' /in:30 >/dev/null || fail "/in:30 was refused"
norvale '/quick:Stand By' /when-idle:600 >/dev/null || fail "/when-idle:600 was refused"
norvale /list >"$work/list" || fail "/list ended with $?"
cat "$work/list"
grep -q "Shut Down" "$work/list" && grep -q "When ping.exe ends" "$work/list" &&
  grep -q "When idle 600 min" "$work/list" || fail "/list lacks a row"

wait_for 60 logged 1 || fail "ping.exe ended, and nothing was logged within a minute"
grep -q "	Reboot	" "$work/DryRun.log" || fail "the first action logged is not the reboot"
echo "PASS: the reboot was logged when ping.exe ended"
wait_for 240 logged 3 || fail "the /in:2 and /when-idle:3 rows did not both fire within four minutes"
cat "$work/DryRun.log"
fired=$(date -d "$(grep "	Shut Down	" "$work/DryRun.log" | cut -c1-19)" +%s)
idle=$(date -d "$(grep "	Hibernate	" "$work/DryRun.log" | cut -c1-19)" +%s)
[ $((idle - asked)) -ge 179 ] || fail "the /when-idle:3 row fired $((idle - asked)) s after it was asked for"
echo "PASS: the /when-idle:3 row fired $((idle - asked)) s after it was asked for"
[ $((fired - asked)) -ge 119 ] && [ $((fired - asked)) -le 135 ] ||
  fail "the /in:2 row fired $((fired - asked)) s after it was asked for"
echo "PASS: the running copy took /in:2 and logged it $((fired - asked)) s later"

out=$(norvale /cancel) || fail "/cancel ended with $?"
[ "$out" = "Cancelled 2 quick rows." ] || fail "unexpected answer to /cancel: $out"
norvale /list | grep -q "Quick Schedule" && fail "/cancel left a quick row"
echo "PASS: /cancel removed the two pending rows"

# With a minute's warning, /cancel ends a quick row whose warning already shows.
wine reg add "$machine" /v txtWarn /d 60 /f /reg:32 >/dev/null 2>&1
before=$(grep -c . "$work/DryRun.log")
norvale '/quick:Shut Down' /in:2 >/dev/null || fail "/in:2 was refused"
wait_for 100 wine "$probe" warning || fail "no warning a minute before the /in:2 row"
out=$(norvale /cancel) || fail "/cancel ended with $?"
[ "$out" = "Cancelled 1 quick row." ] || fail "unexpected answer to /cancel during the warning: $out"
wait_for 30 sh -c "! wine \"$probe\" warning" || fail "the warning stayed after /cancel"
# Its moment passes: nothing may be logged for it.
wait_for 90 sh -c "[ \$(date +%s) -ge $(( $(date +%s) + 75 )) ]"
[ "$(grep -c . "$work/DryRun.log")" = "$before" ] || fail "the cancelled row was performed"
echo "PASS: /cancel during the warning counted the row and nothing was performed"
wine reg add "$machine" /v txtWarn /d 0 /f /reg:32 >/dev/null 2>&1

# No copy running: the request starts one, hidden, and it takes the request.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
out=$(norvale /dryrun '/quick:Hibernate' /in:90) || fail "a request without a running copy ended with $?"
echo "$out" | grep -q "Hibernate" || fail "unexpected answer: $out"
norvale /list | grep -q "Hibernate" || fail "the started copy does not list the row"
echo "PASS: with no copy running, the request started one in the tray and was taken"
restore
exit 0
