#!/usr/bin/env bash
# jellybox-sim from the outside: the lattice as built, the energy rows, and that every kind of
# bad input ends with status 2, one line on standard error and nothing on standard output.
# Usage: sim_cli_test.sh PATH_TO_JELLYBOX_SIM
set -uo pipefail
sim=$1
. "$(dirname "$0")/checks.sh"

# --ticks 0: every node where assembleLattice puts it, at rest, its dot at (100, 100).
if "$sim" --ticks 0 >"$work/out" 2>"$work/err"; then
  awk -F, '
    NR == 1 { if ($0 != "i,j,k,px,py,pz,vx,vy,vz,sx,sy") { print "header: " $0; bad = 1 }; next }
    {
      n = NR - 2
      i = int(n / 25); j = int(n / 5) % 5; k = n % 5
      want = i "," j "," k "," (200 + 100 * i) "," (75 + 100 * j) "," (500 + 100 * k) ",0,0,0,100,100"
      if ($0 != want) { print "row " NR ": " $0 " (want " want ")"; bad = 1 }
    }
    END { if (NR != 126) { print NR " lines"; bad = 1 }; exit bad }
  ' "$work/out" || fail "--ticks 0 output"
else
  fail "--ticks 0 exited with $?"
fi

# --energy: rows at 0, EVERY, 2 EVERY ... N, the first the assembled lattice's 15 000.
if "$sim" --ticks 4 --energy 2 >"$work/out" 2>"$work/err"; then
  [ "$(cut -d, -f1 "$work/out" | tr '\n' ' ')" = "tick 0 2 4 " ] || fail "--energy rows: $(cat "$work/out")"
  [ "$(sed -n 2p "$work/out")" = "0,15000" ] || fail "--energy at tick 0: $(sed -n 2p "$work/out")"
else
  fail "--energy exited with $?"
fi

"$sim" --help >"$work/out" 2>"$work/err" || fail "--help exited with $?"
grep -q -- "--energy EVERY" "$work/out" || fail "--help does not explain --energy"

# Output that could not be written is a failure, not a result: the CSV, and a video.
if [ -w /dev/full ]; then
  "$sim" --ticks 0 >/dev/full 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "--ticks 0 into a full disk exited with $status, not 1"
  grep -q '^jellybox-sim: cannot write' "$work/err" || fail "no message for the failed write"
  ln -s /dev/full "$work/full.webp"
  "$sim" --ticks 4 --video "$work/full.webp" >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "a WebP video onto a full disk exited with $status, not 1"
  grep -q '^jellybox-sim: cannot write the video' "$work/err" || fail "no message for the failed video"
fi

# A video that cannot be made is known before the first tick: status 1, one line on standard
# error, no row on standard output, no file. Without ffmpeg on the PATH, WebM cannot be made.
refused() {  # refused VIDEO [NAME=VALUE...]
  local video=$1 status
  shift
  env "$@" "$sim" --ticks 1000 --energy 1000 --video "$video" >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "--video $video exited with $status, not 1"
  [ -s "$work/out" ] && fail "--video $video: the run began: $(head -n 2 "$work/out")"
  [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q '^jellybox-sim: ' "$work/err" ||
    fail "--video $video: standard error: $(cat "$work/err")"
  [ -e "$video" ] && fail "--video $video: the file was left"
}
mkdir "$work/no-programs"
refused "$work/cube.gif"
refused "$work/cube.webm" PATH="$work/no-programs"
refused "$work/no/such/directory/cube.webp"
refused "$work/no/such/directory/cube.webm"

# SIGTERM stops a long run after a whole row, says where, and exits 128 + 15; standard error,
# not being a terminal, gets no progress line.
"$sim" --ticks 100000000 --energy 1000 >"$work/out" 2>"$work/err" &
pid=$!
for _ in $(seq 300); do
  [ "$(wc -l <"$work/out")" -ge 3 ] && break
  sleep 0.1
done
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 143 ] || fail "SIGTERM: exited with $status, not 143"
grep -qvE '^(tick,energy|[0-9]+,[0-9.e+-]+)$' "$work/out" && fail "SIGTERM: a row is cut: $(tail -n 1 "$work/out")"
[ -z "$(tail -c 1 "$work/out")" ] || fail "SIGTERM: the output does not end with a whole line"
grep -qxE 'jellybox-sim: stopped by SIGTERM after tick [0-9]+ of 100000000' "$work/err" && [ "$(wc -l <"$work/err")" -eq 1 ] ||
  fail "SIGTERM: standard error: $(cat -v "$work/err")"

rejected() {
  "$sim" "$@" >"$work/out" 2>"$work/err"
  local status=$?
  [ "$status" -eq 2 ] || fail "$* exited with $status, not 2"
  [ -s "$work/out" ] && fail "$* wrote to standard output"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$* wrote $(wc -l <"$work/err") lines to standard error"
  grep -q '^jellybox-sim: ' "$work/err" || fail "$* error message: $(cat "$work/err")"
}

# One of each way out; the parser's own test covers every kind of bad input.
rejected
rejected --ticks abc
rejected --ticks 1 --frames 3
rejected --ticks "$(printf '1\n2')"

passed "all jellybox-sim command-line checks passed"
