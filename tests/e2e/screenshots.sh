#!/bin/sh
# screenshots.sh WINE_RUN PREFIX PROGRAM_DIR WORK_DIR SHOTS_DIR PROBE
# Every window of both programs, in the light and the dark skin, at 96 and 144
# DPI, photographed in Wine's virtual desktop on the caller's display once PROBE
# sees the window shown and its program waiting for input. Fails when a window
# did not come up within its time, or the screenshot shows nothing.
set -u
wine_run=$1 prefix=$2 program=$3 work=$4 shots=$5 probe=$6
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" NORVALE_DESKTOP=Shots
status=0
"$wine_run" "$prefix" cmd /c exit || exit 1
rm -rf "$work" && mkdir -p "$work" "$shots" || exit 1
cp -r "$program/Norvale.exe" "$program/Kestrup.exe" "$program/Localization.txt" "$program/Skins" \
  "$work/" || exit 1
mkdir -p "$work/data"
work_w=$(winepath -w "$work" 2>/dev/null)
printf '<DATA>\r\nLastRunTime=\r\nItemType=Shut Down\r\nEnabled=1\r\n</DATA>\r\n\r\n<SCHEDULER>\r\nStartDate=1/5/2026\r\nStartTime=22:30:00\r\nRepeat=-1\r\nSAccurancy=1\r\nPeriod=mon,tue,wed,thu,fri\r\nRunOnStart=0\r\nRunOnEnd=0\r\n</SCHEDULER>\r\n\r\n' \
  >"$work/data/Weeknights.sch"
printf '2026-12-03 22:30:01\tWeeknights\tShut Down\tperformed\r\n2026-12-04 22:31:01\tWeeknights\tShut Down\tpostponed\r\n2026-12-04 22:41:01\tWeeknights (postponed)\tShut Down\tperformed\r\n2026-12-07 22:30:00\tWeeknights\tShut Down\tmissed\r\n' \
  >"$work/data/History.log"
user='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
desktop='HKCU\Control Panel\Desktop'

. "$(dirname "$0")/wait_for.sh"
shown() { wine "$probe" shown "$1" 2>/dev/null | tr -d '\r'; }
# The screen has something on it and is the same as at the last look: painted.
settled() {
  import -window root "$1.png" 2>/dev/null || return 1
  [ "$(convert "$1.png" -format %k info: 2>/dev/null || echo 0)" -ge 16 ] || return 1
  now=$(convert "$1.png" rgb:- 2>/dev/null | md5sum)
  [ "$now" = "$(cat "$1.last" 2>/dev/null)" ] && return 0
  echo "$now" >"$1.last"
  return 1
}
# The processes of a program of this test (Wine names each after its .exe).
pids_of() {
  for p in $(pgrep -x "$1"); do
    tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -qF "$work_w" && echo "$p"
  done
}
gone() { [ -z "$(pids_of "$1")" ]; }
taller() { now=$(shown "$1") && [ -n "$now" ] && [ "$now" != "$2" ]; }

shoot() {  # name, window title, program, arguments...
  name=$1 title=$2 exe=$3
  shift 3
  # A Wine desktop that never painted (black, under load) is tried once more.
  for attempt in 1 2; do
    wine explorer /desktop=Shots,1024x768 "$(winepath -w "$work/$exe")" "$@" </dev/null >/dev/null 2>&1 &
    if ! wait_for 120 shown "$title" >/dev/null; then
      echo "FAIL: $name: no window \"$title\" within 120 s"
      status=1
      wineserver -k 2>/dev/null
      wineserver -w 2>/dev/null
      break
    elif [ "${EXPAND:-}" = 1 ]; then
      before=$(shown "$title")
      wine "$probe" press "$title" "Ad&vanced >>"
      wait_for 60 taller "$title" "$before" || { echo "FAIL: $name did not expand"; status=1; }
    fi
    rm -f "$shots/$name.last"
    wait_for 60 settled "$shots/$name" || echo "$name: the screen kept changing for a minute"
    rm -f "$shots/$name.last"
    colours=$(convert "$shots/$name.png" -format %k info: 2>/dev/null || echo 0)
    # Only the program ends: a fresh Wine session for every shot took most of the time.
    kill -9 $(pids_of "$exe") 2>/dev/null
    wait_for 30 gone "$exe" || { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }
    if [ "${colours:-0}" -ge 16 ]; then
      echo "shot $name ($colours colours)"
      break
    elif [ "$attempt" = 2 ]; then
      echo "FAIL: $name shows nothing"
      status=1
    else
      echo "$name: nothing on the screen; once more"
    fi
  done
}

for dpi in 96 144; do
  for skin in Light Dark; do
    wineserver -k 2>/dev/null
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wine reg add "$user" /v Skin /d $skin /f >/dev/null 2>&1
    wine reg add "$user" /v Language /d English /f >/dev/null 2>&1
    wine reg add "$user" /v showHelp /d 0 /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    for pair in "frmMain:Norvale by Norvale Labs" "frmWizard:Schedule Configuration" \
                "frmOptions:General Preferences" "frmLanguage:Language Selection" \
                "frmAbout:About Norvale" "frmStillRunning:Norvale is still running" "frmSplash:" \
                "frmCountdown:Norvale is about to act" "frmHistory:History" \
                "frmWhenIdle:When Idle" "frmWhenEnds:When a Program Ends" \
                "frmWhenQuiet:When Quiet"; do
      window=${pair%%:*}
      shoot "$window-$skin-$dpi" "${pair#*:}" Norvale.exe /dryrun "/show:$window"
    done
    EXPAND=0 shoot "Kestrup-$skin-$dpi" "Kestrup - Startup Tool" Kestrup.exe
    EXPAND=1 shoot "Kestrup-expanded-$skin-$dpi" "Kestrup - Startup Tool" Kestrup.exe
  done
done
# A window in the non-Latin language.
wine reg add "$user" /v Language /d "Русский" /f >/dev/null 2>&1
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
wineserver -k 2>/dev/null
shoot "frmLanguage-Russian-96" "Выбор языка" Norvale.exe /dryrun /show:frmLanguage
# Japanese needs a font with its glyphs: Debian's IPA Gothic, linked to the
# dialog font for this shot only, since Wine then draws every text with it.
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
tahoma=$(wine reg query "$links" /v Tahoma 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_MULTI_SZ *//p')
if [ -n "$tahoma" ] && fc-list 2>/dev/null | grep -q 'ipag.ttf'; then
  wine reg add "$links" /v Tahoma /t REG_MULTI_SZ /d "$tahoma\\0ipag.ttf,IPAGothic" /f >/dev/null 2>&1
  wine reg add "$user" /v Language /d "日本語" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null
  shoot "frmMain-Japanese-96" "Norvale - Norvale Labs" Norvale.exe /dryrun /show:frmMain
  wine reg add "$links" /v Tahoma /t REG_MULTI_SZ /d "$tahoma" /f >/dev/null 2>&1
fi
wine reg add "$user" /v Language /d English /f >/dev/null 2>&1
wineserver -k 2>/dev/null
exit $status
