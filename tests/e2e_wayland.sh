#!/usr/bin/env bash
# The program natively on Wayland: Qt's wayland platform under a headless weston of its own.
# It must announce the menu entry's app id and draw the cube, frame after frame, in the
# compositor's screenshots.  usage: e2e_wayland.sh PROGRAM APP_ID
# Skips (77) only when weston is missing or cannot start at all. Every wait polls against a
# deadline that only a stuck program misses.
set -uo pipefail

program=${1:?usage: e2e_wayland.sh PROGRAM APP_ID}
app_id=${2:?usage: e2e_wayland.sh PROGRAM APP_ID}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/processes.sh"
python=/usr/bin/python3
helper=$here/e2e_x11.py
skip=77
patience=30

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qjellybox-wayland.XXXXXX")
weston_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && stop "$app_pid"
    [ -n "$weston_pid" ] && stop "$weston_pid"
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    for log in weston stderr; do
        [ -s "$tmp/$log" ] && { echo "--- $log (its last lines):" >&2; grep -v '^\[' "$tmp/$log" | tail -n 15 >&2; }
    done
    exit 1
}
note() { echo "e2e_wayland: $*"; }

for tool in weston weston-screenshooter convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done

# ---- a compositor of our own ---------------------------------------------------------------
mkdir -m 700 "$tmp/runtime" "$tmp/shots"
export XDG_RUNTIME_DIR=$tmp/runtime
export WAYLAND_DISPLAY=qjellybox-test
# weston 10 (Debian 12) names the backend by its module, later ones by a short name; the
# pixman renderer, as the headless one draws nothing. --debug lets the screenshooter in.
started() { [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || ! kill -0 "$weston_pid" 2>/dev/null; }
for backend in headless headless-backend.so; do
    weston --backend="$backend" --use-pixman --width=1024 --height=768 --idle-time=0 \
        --socket="$WAYLAND_DISPLAY" --debug >"$tmp/weston" 2>&1 &
    weston_pid=$!
    poll $patience started
    kill -0 "$weston_pid" 2>/dev/null && [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    wait "$weston_pid" 2>/dev/null
    weston_pid=
done
if [ -z "$weston_pid" ]; then
    echo "SKIP: weston does not start, no compositor to test in:"
    tail -n 5 "$tmp/weston"
    exit $skip
fi
note "$(weston --version) on $WAYLAND_DISPLAY, backend $backend"

# ---- the program, on Qt's wayland platform -------------------------------------------------
# The client's own protocol log shows what it told the compositor.
QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 "$program" >"$tmp/stdout" 2>"$tmp/stderr" &
app_pid=$!

alive() { kill -0 "$app_pid" 2>/dev/null || fail "the program ended; it should run until closed"; }
# shot NAME: the compositor's screen now, and its pink dots as NAME.json
shot() {
    alive
    rm -f "$tmp/shots"/*.png
    (cd "$tmp/shots" && weston-screenshooter >>"$tmp/screenshooter" 2>&1) || return 1
    local png
    png=$(ls "$tmp/shots"/*.png 2>/dev/null | head -n 1)
    [ -n "$png" ] && convert "$png" -depth 8 "ppm:$tmp/$1.ppm" || return 1
    read -r width height < <(head -c 64 "$tmp/$1.ppm" | sed -n 2p)
    "$python" "$helper" dots "$tmp/$1.ppm" 0 0 "$width" "$height" >"$tmp/$1.json"
}
fact() { "$python" -c 'import json, sys; print(json.load(open(sys.argv[1]))[sys.argv[2]])' "$tmp/$1.json" "$2"; }
cube() { shot "$1" && [ "$(fact "$1" count)" -ge 25 ] && [ "$(fact "$1" count)" -le 125 ]; }

poll $patience cube first || fail "no cube in the compositor's screenshots in ${patience} s: $(cat "$tmp/screenshooter" 2>/dev/null) $(fact first count 2>/dev/null) dots"
moved() { cube second && ! cmp -s "$tmp/first.ppm" "$tmp/second.ppm"; }
poll $patience moved || fail "the cube stands still: no new frame in ${patience} s"
note "the cube drawn: $(fact first count), then $(fact second count) dots"
# A compositor that stalls for a while (frames unanswered long enough for the window to take
# itself as unseen) and then goes on must find the window drawing again.
kill -STOP "$weston_pid"
sleep 0.6
kill -CONT "$weston_pid"
sleep 0.5
cube third || fail "no cube after the compositor's pause"
again() { cube fourth && ! cmp -s "$tmp/third.ppm" "$tmp/fourth.ppm"; }
poll $patience again || fail "the cube stands still after the compositor paused for 0.6 s"
note "drawing again after the compositor's pause"

grep -qE "xdg_toplevel[^ ]*\.set_app_id\(\"$app_id\"\)" "$tmp/stderr" ||
    fail "the window does not give the app id $app_id: $(grep -o 'set_app_id([^)]*)' "$tmp/stderr" | head -n 1)"
note "app id $app_id"
# At the compositor's pace: a frame is committed only once the last one was taken.
commits=$(grep -c 'wl_surface[@#][0-9]*\.commit(' "$tmp/stderr")
frames=$(grep -c 'wl_callback[@#][0-9]*\.done(' "$tmp/stderr")
[ "$frames" -gt 0 ] && [ "$commits" -le $((frames + 3)) ] ||
    fail "the window committed $commits frames for the compositor's $frames frame callbacks"
note "$commits commits for $frames frame callbacks"
grep -q '^main3$' "$tmp/stdout" || fail "the start-up trace stops short: $(tr '\n' ' ' <"$tmp/stdout")"
echo "PASS"
