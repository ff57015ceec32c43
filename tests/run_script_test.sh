#!/usr/bin/env bash
# scripts/run with no display builds, then says in one line what to do and fails, instead of
# starting the program into Qt's abort; with a display, or a platform named by hand, it starts
# the program with the arguments given. Setup and build are stubbed: nothing is installed or
# built twice.   usage: run_script_test.sh PATH_TO_SCRIPTS_RUN
set -uo pipefail
run=${1:?usage: run_script_test.sh PATH_TO_SCRIPTS_RUN}
. "$(dirname "$0")/checks.sh"
mkdir -p "$work/scripts" "$work/build/src"
cp "$run" "$work/scripts/run"
printf '#!/bin/sh\n' >"$work/scripts/setup"
printf '#!/bin/sh\ntouch "$1/built"\n' >"$work/scripts/build"
printf '#!/bin/sh\necho "started $*"\n' >"$work/build/src/qjellybox"
chmod +x "$work/scripts/"* "$work/build/src/qjellybox"
bare=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

"${bare[@]}" "$work/scripts/run" -style fusion >"$work/out" 2>"$work/err"
status=$?
[ "$status" -ne 0 ] || fail "no display: exited with status 0"
[ -e "$work/build/built" ] || fail "no display: the build did not run first"
[ -s "$work/out" ] && fail "no display: the program was started: $(cat "$work/out")"
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'ssh -X.*jellybox-sim --ticks' "$work/err" ||
  fail "no display: standard error is not the one line of advice: $(cat "$work/err")"

for chosen in DISPLAY=:5 WAYLAND_DISPLAY=wayland-5 QT_QPA_PLATFORM=offscreen; do
  out=$("${bare[@]}" "$chosen" "$work/scripts/run" -style fusion 2>&1)
  [ "$out" = "started -style fusion" ] || fail "$chosen: the program was not started: $out"
done
out=$("${bare[@]}" "$work/scripts/run" -platform offscreen 2>&1)
[ "$out" = "started -platform offscreen" ] || fail "-platform offscreen: the program was not started: $out"
passed "scripts/run: advice and a failure without a display, the program started with one"
