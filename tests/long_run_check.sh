#!/usr/bin/env bash
# A long run of jellybox-sim stays a jelly cube: every printed value finite, the energy within
# 5 % of the assembled 15 000 at every sample, the centre of mass where it was built, and no
# node flown off.
# Usage: long_run_check.sh PATH_TO_JELLYBOX_SIM TICKS EVERY [--xang A] [--yang B]
set -uo pipefail
sim=$1
ticks=$2
every=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# %.17g never prints anything else for a finite double; nan and inf fail this.
number='^-?[0-9]+(\.[0-9]+)?(e[-+][0-9]+)?$'

if ! "$sim" --ticks "$ticks" --energy "$every" "$@" >"$work/energy"; then
  echo "FAIL: jellybox-sim --energy exited with $?" >&2
  exit 1
fi
awk -F, -v number="$number" -v every="$every" -v ticks="$ticks" '
  NR == 1 { if ($0 != "tick,energy") { print "FAIL: energy header " $0; bad = 1 }; next }
  {
    if (NF != 2 || $1 !~ number || $2 !~ number) { print "FAIL: energy row " NR ": " $0; bad = 1; next }
    if ($1 != (NR - 2) * every) { print "FAIL: energy row " NR " is tick " $1; bad = 1 }
    e = $2 + 0
    if (NR == 2 || e < low) low = e
    if (NR == 2 || e > high) high = e
    if (e < 14250 || e > 15750) { if (!outside++) print "FAIL: energy " e " at tick " $1; bad = 1 }
  }
  END {
    rows = int(ticks / every) + 1
    if (NR - 1 != rows) { print "FAIL: " NR - 1 " energy rows, not " rows; bad = 1 }
    printf "energy over %d samples: min %.6f max %.6f\n", NR - 1, low, high
    exit bad
  }
' "$work/energy" || status=1

if ! "$sim" --ticks "$ticks" "$@" >"$work/state"; then
  echo "FAIL: jellybox-sim exited with $?" >&2
  exit 1
fi
awk -F, -v number="$number" '
  NR == 1 { next }
  {
    if (NF != 11) { print "FAIL: row " NR " has " NF " fields"; bad = 1; next }
    for (f = 4; f <= 11; ++f)
      if ($f !~ number) { print "FAIL: row " NR " field " f " is " $f; bad = 1; next }
    for (f = 4; f <= 6; ++f)
      if ($f + 0 < -500 || $f + 0 > 1500) { print "FAIL: row " NR " left -500..1500: " $0; bad = 1 }
    x += $4; y += $5; z += $6; n++
  }
  END {
    if (n != 125) { print "FAIL: " n " nodes"; exit 1 }
    x /= n; y /= n; z /= n
    printf "centre of mass: %.12f %.12f %.12f\n", x, y, z
    d = (x > 400 ? x - 400 : 400 - x) + 0
    if (d > 1e-6 || (y > 275 ? y - 275 : 275 - y) > 1e-6 || (z > 700 ? z - 700 : 700 - z) > 1e-6) {
      print "FAIL: the centre of mass moved from (400, 275, 700)"; bad = 1
    }
    exit bad
  }
' "$work/state" || status=1

exit "$status"
