#!/bin/sh
# Settings and Run entries written through the real classes must be where a
# user looks for them: reg.exe of the same Wine prefix has to list each one.
#   registry_visible_test.sh EMULATOR... -- registry_writer.exe
# EMULATOR is the build's cross-compiling emulator (wine-run.sh and the prefix);
# its words must not contain blanks.
set -u
run=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  run="$run $1"
  shift
done
[ $# -eq 2 ] || { echo "usage: $0 EMULATOR... -- registry_writer.exe" >&2; exit 2; }
writer=$2
tag="$$-$(date +%s)"
product="NorvaleVisible-$tag"
company="NorvaleVisibleCo-$tag"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
machine_run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
# Quoted: the path holds a blank.
exe="\"C:\\Program Files\\$product\\Norvale.exe\""
failures=0

trap '$run "$writer" clean "$tag" >/dev/null 2>&1' EXIT

# expect KEY NAME DATA [reg options]: the value exists as REG_SZ holding DATA.
expect() {
  key=$1 name=$2 data=$3
  shift 3
  out=$($run reg query "$key" /v "$name" "$@" 2>&1 | tr -d '\r')
  if printf '%s\n' "$out" | grep -Fqx "    $name    REG_SZ    $data"; then
    echo "ok      $key -> $name = $data $*"
  else
    echo "MISSING $key -> $name = $data $*"
    printf '%s\n' "$out" | sed 's/^/        /'
    failures=$((failures + 1))
  fi
}

# absent KEY NAME [reg options]: reg.exe finds no such value.
absent() {
  key=$1 name=$2
  shift 2
  if $run reg query "$key" /v "$name" "$@" >/dev/null 2>&1; then
    echo "LEFT    $key -> $name $*"
    failures=$((failures + 1))
  else
    echo "absent  $key -> $name $*"
  fi
}

# gone KEY [reg options]: reg.exe finds no such key.
gone() {
  key=$1
  shift
  if $run reg query "$key" "$@" >/dev/null 2>&1; then
    echo "LEFT    $key $*"
    failures=$((failures + 1))
  else
    echo "gone    $key $*"
  fi
}

$run "$writer" write "$tag" || { echo "registry_writer write failed"; exit 1; }

settings="HKLM\\SOFTWARE\\$company\\$product\\Settings"
expect "$settings" txtport 1025
expect "$settings" txtFTPfolder "/backup/daily set"
expect "$settings" chkMin 1 /reg:32
absent "$settings" chkMin
expect "HKCU\\Software\\VB and VBA Program Settings\\$product\\Settings" Language English
expect "$run_key" "$product" "$exe"
expect "$machine_run_key" "$product" "$exe"
expect "$machine_run_key" "$product-32" "$exe" /reg:32

$run "$writer" clean "$tag" || { echo "registry_writer clean failed"; exit 1; }
absent "$run_key" "$product"
absent "$machine_run_key" "$product"
absent "$machine_run_key" "$product-32" /reg:32
gone "HKLM\\SOFTWARE\\$company"
gone "HKLM\\SOFTWARE\\$company" /reg:32
gone "HKCU\\Software\\VB and VBA Program Settings\\$product"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all values visible to reg.exe, and gone after clean-up"
