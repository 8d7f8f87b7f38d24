#!/bin/sh
# known_imports.sh OBJDUMP PROGRAM...: every DLL a program imports is one Windows
# always takes from its own folder (a known DLL, or common controls bound by the
# manifest). Any other would be looked for beside the program first, where
# whoever can write there could put their own.
set -u
objdump=$1
shift
known="advapi32 comctl32 gdi32 kernel32 msvcrt ntdll ole32 shell32 user32"
status=0
for program in "$@"; do
  names=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr -d '\r')
  [ -n "$names" ] || { echo "FAIL: no import table read from $program"; status=1; continue; }
  for dll in $names; do
    base=$(echo "$dll" | tr 'A-Z' 'a-z' | sed 's/\.dll$//')
    case " $known " in
      *" $base "*) ;;
      *) echo "FAIL: $(basename "$program") imports $dll"; status=1 ;;
    esac
  done
  echo "$(basename "$program"): $(echo $names)"
done
exit $status
