#!/bin/sh
# install.sh MAKENSIS NSI SETUP ZIP PROBE WORK_DIR
# In a fresh Wine prefix: a silent install of an older build (made from the
# same script as version 0.9.0), its files, shortcuts, uninstall entry and
# logon entry; the installed Norvale.exe /dryrun saving a schedule into its
# data folder and a preference, through its own windows worked by PROBE; an
# upgrade refused while Norvale runs, then done, keeping both; a silent
# uninstall that removes the program and keeps the schedule. Then the portable
# zip's contents. The display is the caller's.
set -u
makensis=$1 nsi=$2 setup=$3 zip=$4 probe=$5 work=$6
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" NORVALE_DESKTOP=NorvaleInstall
fail() {
  echo "FAIL: $*"
  import -window root "$work/failure.png" 2>/dev/null && echo "screen: $work/failure.png"
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  exit 1
}
. "$(dirname "$0")/wait_for.sh"
query() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
has() { query "$1" /v "$2" $3 | grep -q "$2 *REG_[A-Z_]* *$4\$"; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Norvale'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
user_run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKLM\Software\Norvale Labs\Norvale\Settings'
user_key='HKCU\Software\VB and VBA Program Settings\Norvale\Settings'
pf="$WINEPREFIX/drive_c/Program Files/Norvale"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Norvale"
program='C:\Program Files\Norvale\Norvale.exe'

# A server still ending for the last run's prefix must not serve the new one.
[ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }
rm -rf "$work" && mkdir -p "$work" || fail "no work folder"
wine wineboot -i </dev/null >/dev/null 2>&1 || fail "no fresh Wine prefix"
wineserver -w
"$makensis" -V1 -DVERSION=0.9.0 -DOUTFILE="$work/Norvale-0.9.0-setup.exe" "$nsi" ||
  fail "the older installer did not build"

wine "$work/Norvale-0.9.0-setup.exe" /S
rc=$?
[ $rc -eq 0 ] || fail "silent install of 0.9.0 ended with $rc"
for f in Norvale.exe Kestrup.exe Localization.txt Help.chm License.txt ReadMe.txt \
         Skins/Light.skin Skins/Dark.skin Uninstall.exe; do
  [ -s "$pf/$f" ] || fail "not installed: $f"
done
[ -d "$pf/data" ] || fail "no data folder"
# Kestrup writes the Run list for all users; Norvale runs as the user who starts it.
grep -q 'level="requireAdministrator"' "$pf/Kestrup.exe" || fail "Kestrup does not ask for rights"
grep -q 'level="asInvoker"' "$pf/Norvale.exe" || fail "Norvale asks for rights"
[ -s "$menu/Norvale.lnk" ] && [ -s "$menu/Norvale Help.lnk" ] || fail "no Start-menu shortcuts"
query "$uninstall_key"
has "$uninstall_key" DisplayName "" Norvale || fail "no name in the uninstall entry"
has "$uninstall_key" DisplayVersion "" 0.9.0 || fail "no version in the uninstall entry"
has "$uninstall_key" Publisher "" "Norvale Labs" || fail "no publisher in the uninstall entry"
has "$uninstall_key" DisplayIcon "" 'C:\\Program Files\\Norvale\\Norvale.exe,0' || fail "no icon"
has "$uninstall_key" UninstallString "" '"C:\\Program Files\\Norvale\\Uninstall.exe"' ||
  fail "no uninstall command"
has "$run_key" Norvale-1 /reg:32 '"C:\\Program Files\\Norvale\\Norvale.exe"' ||
  fail "no quoted logon entry"
echo "PASS: 0.9.0 installed silently with its shortcuts, uninstall entry and logon entry"

# A returning user, so that no first-start window comes between.
wine reg add "$user_key" /v Language /d English /f >/dev/null 2>&1
wine reg add "$user_key" /v showHelp /d 0 /f >/dev/null 2>&1
start() {
  wine explorer /desktop=NorvaleInstall,1024x768 "$program" /dryrun "$1" </dev/null >/dev/null 2>&1 &
}
start /show:frmWizard
wait_for 90 wine "$probe" fill "Schedule Configuration" Installed ||
  fail "the installed program showed no schedule editor"
wine "$probe" press "Schedule Configuration" OK || fail "no OK in the editor"
wait_for 30 test -s "$pf/data/Installed.sch" || fail "the schedule was not saved in the data folder"
cp "$pf/data/Installed.sch" "$work/Installed.sch"
wineserver -k 2>/dev/null
wineserver -w

start /show:frmOptions
wait_for 90 wine "$probe" press "General Preferences" "Open &minimized to the system Tray" ||
  fail "the installed program showed no preferences"
wait_for 30 has "$settings_key" chkMin /reg:32 1 || fail "the preference was not saved"
wine "$probe" rows | tr -d '\r' | grep -q "^Installed	" || fail "the saved schedule is not listed"
echo "PASS: the installed program saved a schedule into its data folder and a preference"

# Still running: the upgrade must not replace its files under it.
wine "$setup" /S
rc=$?
[ $rc -eq 2 ] || fail "an upgrade while Norvale runs ended with $rc, not 2"
has "$uninstall_key" DisplayVersion "" 0.9.0 || fail "the refused upgrade changed the version"
wineserver -k 2>/dev/null
wineserver -w
wine "$setup" /S
rc=$?
[ $rc -eq 0 ] || fail "the upgrade ended with $rc"
version=$(query "$uninstall_key" /v DisplayVersion | sed -n 's/.*REG_SZ *//p')
[ "$version" != 0.9.0 ] && [ -n "$version" ] || fail "the upgrade left version '$version'"
cmp -s "$pf/data/Installed.sch" "$work/Installed.sch" || fail "the upgrade changed the schedule"
has "$settings_key" chkMin /reg:32 1 || fail "the upgrade lost the preference"
has "$run_key" Norvale-1 /reg:32 '"C:\\Program Files\\Norvale\\Norvale.exe"' ||
  fail "the upgrade lost the logon entry"
echo "PASS: upgraded from 0.9.0 to $version (refused while running), schedule and preference kept"

# Kestrup's Remove takes every logon entry that starts the installed program,
# whatever its name and form, and names each one; another program's stays.
wine reg add "$user_run_key" /v Norvale /d '"C:\PROGRAM FILES\Norvale\norvale.exe" /tray' /f \
  >/dev/null 2>&1 || fail "no per-user logon entry to remove"
wine reg add "$user_run_key" /v NorvaleOther /d 'C:\windows\notepad.exe /x' /f >/dev/null 2>&1
echo "logon entries before Kestrup:"
query "$run_key" /reg:32 | grep -i norvale
query "$user_run_key" | grep -i norvale
wine explorer /desktop=NorvaleInstall,1024x768 "$pf/Kestrup.exe" </dev/null >/dev/null 2>&1 &
wait_for 90 wine "$probe" press "Kestrup - Startup Tool" "&Remove program from the startup list" ||
  fail "Kestrup showed no Remove button"
said() { wine "$probe" texts "Kestrup - Startup Tool" | tr -d '\r'; }
wait_for 60 sh -c 'wine "$1" texts "Kestrup - Startup Tool" | grep -q "^Removed"' - "$probe" ||
  fail "Kestrup said nothing of what it removed"
echo "Kestrup said:"
said | grep -e '^Removed' -e '^Not removed' -e '^Nothing'
said | grep -qx 'Removed from the startup list for the current account: "Norvale".' ||
  fail "Kestrup did not say it removed the per-user entry"
said | grep -qx 'Removed from the startup list for all accounts: "Norvale-1".' ||
  fail "Kestrup did not say it removed the installer's entry"
echo "logon entries after Kestrup:"
query "$run_key" /reg:32 | grep -i norvale
query "$user_run_key" | grep -i norvale
query "$run_key" /reg:32 | grep -q Norvale-1 && fail "Kestrup left the installer's logon entry"
query "$user_run_key" | grep -q 'Norvale  *REG' && fail "Kestrup left the per-user logon entry"
query "$user_run_key" | grep -q NorvaleOther || fail "Kestrup removed another program's entry"
wine reg delete "$user_run_key" /v NorvaleOther /f >/dev/null 2>&1
wineserver -k 2>/dev/null
wineserver -w
echo "PASS: Kestrup removed both logon entries of the installed program and named them"

wine "$pf/Uninstall.exe" /S
# The uninstaller works from a copy of itself, so its end is seen in the folder.
wait_for 60 sh -c '! test -e "$1/Uninstall.exe"' - "$pf" || fail "the uninstaller left itself"
for f in Norvale.exe Kestrup.exe Localization.txt Help.chm License.txt ReadMe.txt Skins; do
  [ ! -e "$pf/$f" ] || fail "left after uninstall: $f"
done
[ ! -e "$menu" ] || fail "Start-menu shortcuts left after uninstall"
query "$uninstall_key" | grep -q DisplayName && fail "the uninstall entry is left"
query "$run_key" /reg:32 | grep -q Norvale-1 && fail "the logon entry is left"
cmp -s "$pf/data/Installed.sch" "$work/Installed.sch" || fail "the uninstall did not keep the schedule"
echo "PASS: uninstalled silently; the schedule stays in the data folder"
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null

listing=$(cmake -E tar tf "$zip") || fail "the portable zip cannot be read"
for f in Norvale.exe Kestrup.exe Localization.txt Help.chm License.txt ReadMe.txt \
         Skins/Light.skin Skins/Dark.skin data/; do
  echo "$listing" | grep -qx "Norvale/$f" || fail "not in the portable zip: $f"
done
echo "PASS: the portable zip holds the program, its texts and an empty data folder"
echo "sizes: $(stat -c '%n %s' "$setup" "$zip" | sed 's|.*/||' | tr '\n' ' ')"
