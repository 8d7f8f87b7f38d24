#!/bin/sh
# screenshots.sh WINE_RUN PREFIX PROGRAM_DIR WORK_DIR SHOTS_DIR
# Every window of both programs, in the light and the dark skin, at 96 and 144
# DPI, photographed in Wine's virtual desktop on the caller's display. Fails when
# a window did not come up (a screenshot of one colour).
set -u
wine_run=$1 prefix=$2 program=$3 work=$4 shots=$5
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
status=0
"$wine_run" "$prefix" cmd /c exit || exit 1
rm -rf "$work" && mkdir -p "$work" "$shots" || exit 1
cp -r "$program/Norvale.exe" "$program/Kestrup.exe" "$program/Localization.txt" "$program/Skins" \
  "$work/" || exit 1
mkdir -p "$work/data"
printf '<DATA>\r\nLastRunTime=\r\nItemType=Shut Down\r\nEnabled=1\r\n</DATA>\r\n\r\n<SCHEDULER>\r\nStartDate=1/5/2026\r\nStartTime=22:30:00\r\nRepeat=-1\r\nSAccurancy=1\r\nPeriod=mon,tue,wed,thu,fri\r\nRunOnStart=0\r\nRunOnEnd=0\r\n</SCHEDULER>\r\n\r\n' \
  >"$work/data/Weeknights.sch"
printf '2026-12-03 22:30:01\tWeeknights\tShut Down\tperformed\r\n2026-12-04 22:31:01\tWeeknights\tShut Down\tpostponed\r\n2026-12-04 22:41:01\tWeeknights (postponed)\tShut Down\tperformed\r\n2026-12-07 22:30:00\tWeeknights\tShut Down\tmissed\r\n' \
  >"$work/data/History.log"
user='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
desktop='HKCU\Control Panel\Desktop'

shoot() {  # name, program, arguments...
  name=$1 exe=$2
  shift 2
  wine explorer /desktop=Shots,1024x768 "$(winepath -w "$work/$exe")" "$@" </dev/null >/dev/null 2>&1 &
  sleep "${NORVALE_SHOT_WAIT:-6}"
  [ "$exe" = Kestrup.exe ] && [ "${EXPAND:-}" = 1 ] && command -v xdotool >/dev/null &&
    xdotool key alt+v && sleep 2
  import -window root "$shots/$name.png" 2>/dev/null
  colours=$(convert "$shots/$name.png" -format %k info: 2>/dev/null || echo 0)
  if [ "${colours:-0}" -lt 16 ]; then
    echo "FAIL: $name shows nothing"
    status=1
  else
    echo "shot $name ($colours colours)"
  fi
  wineserver -k 2>/dev/null
  sleep 1
}

for dpi in 96 144; do
  for skin in Light Dark; do
    wineserver -k 2>/dev/null
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wine reg add "$user" /v Skin /d $skin /f >/dev/null 2>&1
    wine reg add "$user" /v Language /d English /f >/dev/null 2>&1
    wine reg add "$user" /v showHelp /d 0 /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    for window in frmMain frmWizard frmOptions frmLanguage frmAbout frmStillRunning frmSplash \
                  frmCountdown frmHistory; do
      shoot "$window-$skin-$dpi" Norvale.exe /dryrun "/show:$window"
    done
    EXPAND=0 shoot "Kestrup-$skin-$dpi" Kestrup.exe
    EXPAND=1 shoot "Kestrup-expanded-$skin-$dpi" Kestrup.exe
  done
done
# A window in the non-Latin language.
wine reg add "$user" /v Language /d "Русский" /f >/dev/null 2>&1
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
wineserver -k 2>/dev/null
shoot "frmMain-Russian-96" Norvale.exe /dryrun /show:frmLanguage
wine reg add "$user" /v Language /d English /f >/dev/null 2>&1
wineserver -k 2>/dev/null
exit $status
