#!/usr/bin/env bash
# Runs one scenario of `norvale simulate --events` and compares what it prints with the
# scenario's expected.tsv.
#
#   check_scenario.sh NORVALE_BINARY SCENARIO_DIR
#
# SCENARIO_DIR holds data/ (the .sch files; a temporary copy is simulated), events.tsv,
# args (the simulate arguments other than --data and --events, split at blanks) and
# expected.tsv (TIME<TAB>ROW NAME<TAB>ACTION lines; blank lines and # lines are skipped).
# Every expected line must be printed, in that order, with the same row name, the same
# action (capitals and small letters aside) and a time from the expected second to one
# second after it; no other line may be printed.  Exit 0 when so, 1 otherwise (both
# lists and their diff are printed), 2 for wrong use.
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 NORVALE_BINARY SCENARIO_DIR" >&2
  exit 2
fi
binary=$1
scenario=${2%/}
for f in "$scenario/data" "$scenario/events.tsv" "$scenario/args" "$scenario/expected.tsv"; do
  if [ ! -e "$f" ]; then
    echo "$0: $f is missing" >&2
    exit 2
  fi
done
if [ ! -x "$binary" ]; then
  echo "$0: $binary is not an executable program" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/norvale-scenario.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
cp -R "$scenario/data" "$work/data" || exit 1

# shellcheck disable=SC2207
args=($(grep -v '^[[:space:]]*#' "$scenario/args"))

"$binary" simulate --data "$work/data" "${args[@]}" --events "$scenario/events.tsv" \
  >"$work/printed.tsv" 2>"$work/stderr.txt"
status=$?

grep -v -e '^#' -e '^[[:space:]]*$' "$scenario/expected.tsv" >"$work/expected.tsv"

show_lists() {
  echo "--- expected ($(wc -l <"$work/expected.tsv") lines)"
  cat "$work/expected.tsv"
  echo "--- printed ($(wc -l <"$work/printed.tsv") lines)"
  cat "$work/printed.tsv"
  echo "--- diff expected printed"
  diff -u "$work/expected.tsv" "$work/printed.tsv"
  if [ -s "$work/stderr.txt" ]; then
    echo "--- stderr"
    cat "$work/stderr.txt"
  fi
}

if [ $status -ne 0 ]; then
  echo "FAIL: norvale simulate exited with $status"
  show_lists
  exit 1
fi

# Compares line by line; prints one reason per differing line.
report=$(awk -F'\t' '
  # Seconds since 1970-01-01 of a local wall-clock "YYYY-MM-DD HH:MM:SS" taken as it
  # reads (no zone), or -1 when the text is no such time.
  function seconds(text,   y, m, d, era, yoe, doy, doe, days) {
    if (text !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]$/)
      return -1
    y = substr(text, 1, 4) + 0; m = substr(text, 6, 2) + 0; d = substr(text, 9, 2) + 0
    if (m <= 2) y -= 1
    era = int(y / 400); yoe = y - era * 400
    doy = int((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5) + d - 1
    doe = yoe * 365 + int(yoe / 4) - int(yoe / 100) + doy
    days = era * 146097 + doe - 719468
    return days * 86400 + substr(text, 12, 2) * 3600 + substr(text, 15, 2) * 60 + substr(text, 18, 2)
  }
  FILENAME == ARGV[1] { want[++n] = $0; next }
  {
    got[++m] = $0
  }
  END {
    bad = 0
    for (i = 1; i <= (n > m ? n : m); i++) {
      if (i > m) { printf "line %d: missing: %s\n", i, want[i]; bad++; continue }
      if (i > n) { printf "line %d: not expected: %s\n", i, got[i]; bad++; continue }
      split(want[i], w, "\t"); k = split(got[i], g, "\t")
      if (k != 3) { printf "line %d: not TIME<TAB>NAME<TAB>ACTION: %s\n", i, got[i]; bad++; continue }
      tw = seconds(w[1]); tg = seconds(g[1])
      if (tg < 0) { printf "line %d: no time: %s\n", i, got[i]; bad++; continue }
      why = ""
      if (tg < tw || tg > tw + 1) why = why " time"
      if (g[2] != w[2]) why = why " name"
      if (tolower(g[3]) != tolower(w[3])) why = why " action"
      if (why != "") {
        printf "line %d:%s differs: expected \"%s\", printed \"%s\"\n", i, why, want[i], got[i]
        bad++
      }
    }
    if (bad) printf "%d of %d expected lines differ\n", bad, n
  }
' "$work/expected.tsv" "$work/printed.tsv")

if [ -n "$report" ]; then
  echo "FAIL: $scenario"
  echo "$report"
  show_lists
  exit 1
fi
echo "ok: $(wc -l <"$work/expected.tsv") lines as expected ($scenario)"
exit 0
