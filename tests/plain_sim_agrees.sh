#!/usr/bin/env bash
# plain_sim_agrees.sh PLAIN SIM: the plain loop and jellybox-sim print the same bytes.
set -euo pipefail
plain=$1 sim=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
for angles in "-75 20" "180 -180" "0 0"; do
  set -- $angles
  "$plain" 2000 "$1" "$2" > "$out/plain.csv"
  "$sim" --ticks 2000 --xang "$1" --yang "$2" > "$out/sim.csv"
  if ! cmp "$out/plain.csv" "$out/sim.csv"; then
    echo "differ at xang $1 yang $2:"
    diff "$out/plain.csv" "$out/sim.csv" | head -n 6 || true
    status=1
  fi
done
exit $status
