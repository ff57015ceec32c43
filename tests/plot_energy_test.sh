#!/usr/bin/env bash
# scripts/plot-energy turns jellybox-sim's energy rows into a picture, and turns away a CSV that
# is not one.  usage: plot_energy_test.sh SCRIPT JELLYBOX_SIM   (exit 77: no gnuplot here)
set -uo pipefail
script=$1 sim=$2
command -v gnuplot >/dev/null || { echo "SKIP: gnuplot is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
"$sim" --ticks 2000 --energy 100 >"$work/e.csv" || fail "jellybox-sim failed"
"$script" "$work/e.csv" "$work/e.svg" >"$work/log" 2>&1 || fail "plot-energy failed: $(cat "$work/log")"
grep -q '<svg' "$work/e.svg" && grep -q '3 % either side of the start' "$work/e.svg" || fail "no plot in $work/e.svg"
grep -qi 'warning\|error' "$work/log" && fail "gnuplot complained: $(cat "$work/log")"
"$sim" --ticks 1 >"$work/state.csv"
"$script" "$work/state.csv" "$work/x.svg" 2>/dev/null && fail "a state CSV was plotted"
echo "plot-energy drew the energy and its band"
