#!/bin/sh
# layout.sh WINE_RUN PREFIX PROGRAM_DIR WORK_DIR PROBE
# Every window of Norvale.exe at once (/show:all), in every language of its
# Localization.txt, and Kestrup's, at 96 and 144 DPI: PROBE lists every text its control cuts
# (menu bar items, frame captions and column headers too, as drawn) and every control outside
# its window's client area, and says how many of each it checked. Fails on any.
set -u
wine_run=$1 prefix=$2 program=$3 work=$4 probe=$5
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" NORVALE_DESKTOP=Layout
. "$(dirname "$0")/wait_for.sh"
user='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
desktop='HKCU\Control Panel\Desktop'
"$wine_run" "$prefix" cmd /c exit || exit 1
rm -rf "$work" && mkdir -p "$work/data" || exit 1
cp -r "$program/Norvale.exe" "$program/Kestrup.exe" "$program/Localization.txt" "$program/Skins" "$work/" || exit 1
# The main window, the editor, preferences, languages, About, the reminder, the
# history, the two questions of the delay list and the warning.
all=10
shown() { [ "$(wine "$probe" windows 2>/dev/null | tr -d '\r')" -ge "$all" ]; }
status=0
# measured WHAT: the probe over every window shown; one "ok" line, or every fault.
measured() {
  if wine "$probe" layout >"$work/faults" 2>/dev/null; then
    echo "ok: $1: $(tail -n 1 "$work/faults" | tr -d '\r')"
  else
    echo "FAIL: $1:"
    tr -d '\r' <"$work/faults"
    return 1
  fi
}
languages=$(sed -n 's/.*<LANGUAGE_NAME>\(.*\)<\/LANGUAGE_NAME>.*/\1/p' "$work/Localization.txt")
for dpi in 96 144; do
  echo "$languages" | while IFS= read -r language; do
    wineserver -k 2>/dev/null
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wine reg add "$user" /v Language /d "$language" /f >/dev/null 2>&1
    wine reg add "$user" /v showHelp /d 0 /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    wine explorer /desktop=Layout,1600x1200 "$(winepath -w "$work/Norvale.exe")" /dryrun /show:all \
      </dev/null >/dev/null 2>&1 &
    if ! wait_for 120 shown; then
      echo "FAIL: $language at $dpi DPI: not every window came up"
      exit 1
    fi
    measured "$language at $dpi DPI" || exit 1
  done || status=1
  # Another language chosen while every window is open: each lays itself out again at once.
  wineserver -k 2>/dev/null
  wine reg add "$user" /v Language /d English /f >/dev/null 2>&1
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  wine explorer /desktop=Layout,1600x1200 "$(winepath -w "$work/Norvale.exe")" /dryrun /show:all \
    </dev/null >/dev/null 2>&1 &
  wait_for 120 shown || { echo "FAIL: at $dpi DPI not every window came up"; status=1; }
  for step in "Language Selection|Русский|Norvale от Norvale Labs" \
              "Выбор языка|Deutsch|Norvale von Norvale Labs"; do
    asked=${step%%|*} rest=${step#*|}
    language=${rest%%|*} title=${rest#*|}
    wine "$probe" choose "$asked" "$language" >/dev/null 2>&1 ||
      { echo "FAIL: could not choose $language at $dpi DPI"; status=1; break; }
    wait_for 60 sh -c "wine \"$probe\" shown \"$title\" >/dev/null 2>&1" ||
      { echo "FAIL: the main window did not turn to $language at $dpi DPI"; status=1; break; }
    measured "switched to $language at $dpi DPI" || status=1
  done
  # Kestrup speaks English only: its window, expanded.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  wine explorer /desktop=Layout,1600x1200 "$(winepath -w "$work/Kestrup.exe")" \
    </dev/null >/dev/null 2>&1 &
  kestrup="Kestrup - Startup Tool"
  if ! wait_for 120 wine "$probe" shown "$kestrup" >/dev/null 2>&1; then
    echo "FAIL: Kestrup at $dpi DPI did not come up"
    status=1
    continue
  fi
  before=$(wine "$probe" shown "$kestrup" 2>/dev/null)
  wine "$probe" press "$kestrup" "Ad&vanced >>"
  taller() { now=$(wine "$probe" shown "$kestrup" 2>/dev/null) && [ -n "$now" ] && [ "$now" != "$before" ]; }
  wait_for 60 taller || { echo "FAIL: Kestrup at $dpi DPI did not expand"; status=1; }
  measured "Kestrup at $dpi DPI" || status=1
done
wineserver -k 2>/dev/null
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
wine reg add "$user" /v Language /d English /f >/dev/null 2>&1
wineserver -k 2>/dev/null
exit $status
