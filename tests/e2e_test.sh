#!/usr/bin/env bash
# The program as a user meets it: its own Xvfb display, the stock xcb platform, real keys and
# pointer, a screenshot, the window as a desktop sees it, and a window manager's close.
#   usage: e2e_test.sh PROGRAM DESKTOP_ENTRY
#
# Every wait polls against a deadline that only a stuck program misses; the one timed
# assertion is the 2 s allowed from the close request to the program's exit.
set -uo pipefail

program=${1:?usage: e2e_test.sh PROGRAM DESKTOP_ENTRY}
entry=${2:?usage: e2e_test.sh PROGRAM DESKTOP_ENTRY}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/processes.sh"
python=/usr/bin/python3  # Debian's, which has python3-xlib; the first on PATH may not
helper=$here/e2e_x11.py
skip=77
patience=30  # seconds any single wait may take on a loaded machine

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qjellybox-e2e.XXXXXX")
xvfb_pid=
app_pid=

cleanup() {
    [ -n "$app_pid" ] && stop "$app_pid"
    [ -n "$xvfb_pid" ] && stop "$xvfb_pid"
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    if grep -qs '^==[0-9]*==ERROR' "$tmp/stderr"; then
        # A sanitizer's report, whole: a suppression needs all of a stack.
        echo "--- the sanitizer's report:" >&2
        sed -n '/^==[0-9]*==ERROR/,$p' "$tmp/stderr" | head -n 400 >&2
    elif [ -s "$tmp/stderr" ]; then
        echo "--- program's standard error:" >&2
        tail -n 20 "$tmp/stderr" >&2
    fi
    exit 1
}
note() { echo "e2e: $*"; }

# ---- an X server of our own ----------------------------------------------------------------
start_xvfb "$tmp" || exit $skip
note "Xvfb on $DISPLAY"

# ---- the program, on the stock platform ----------------------------------------------------
mkdir -m 700 "$tmp/runtime"
env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$tmp/runtime" "$program" >"$tmp/stdout" 2>"$tmp/stderr" &
app_pid=$!

window_shown() {
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended before it showed a window"
    xdotool search --onlyvisible --pid "$app_pid" >"$tmp/windows" 2>/dev/null
}
poll $patience window_shown || fail "no window from the program in ${patience} s"
[ "$(wc -l <"$tmp/windows")" -eq 1 ] || fail "expected one top-level window, found: $(tr '\n' ' ' <"$tmp/windows")"
wid=$(cat "$tmp/windows")

# ---- the window: 800 x 600 and not resizable -------------------------------------------------
xwininfo -id "$wid" >"$tmp/xwininfo" || fail "xwininfo cannot read the window"
geometry() { sed -n "s/^ *$1: *//p" "$tmp/xwininfo"; }
win_x=$(geometry 'Absolute upper-left X')
win_y=$(geometry 'Absolute upper-left Y')
win_w=$(geometry Width)
win_h=$(geometry Height)
[ "$win_w" = 800 ] && [ "$win_h" = 600 ] || fail "the window is ${win_w} x ${win_h}, not 800 x 600"
xprop -id "$wid" WM_NORMAL_HINTS >"$tmp/hints" || fail "xprop cannot read the size hints"
grep -q 'program specified minimum size: 800 by 600' "$tmp/hints" &&
    grep -q 'program specified maximum size: 800 by 600' "$tmp/hints" ||
    fail "the size hints do not pin the window to 800 x 600: $(cat "$tmp/hints")"
note "window $wid: ${win_w} x ${win_h} at ${win_x},${win_y}, hints min = max = 800 x 600"

# ---- screenshots ---------------------------------------------------------------------------
# shot NAME: the screen now, and the window's dots as NAME.json
shot() {
    import -window root -depth 8 "ppm:$tmp/$1.ppm" 2>>"$tmp/import.log" || fail "import cannot take a screenshot"
    "$python" "$helper" dots "$tmp/$1.ppm" "$win_x" "$win_y" "$win_w" "$win_h" >"$tmp/$1.json" ||
        fail "cannot read the screenshot $1"
}
# settle NAME: a shot painted after the program has handled everything sent to it so far. The
# ping proves the events were handled; a frame differing from one taken after it, that it was
# painted since (the cube never stops wobbling).
newer_frame() { shot "$1" && ! cmp -s "$tmp/$1.before.ppm" "$tmp/$1.ppm"; }
settle() {
    "$python" "$helper" ping "$wid" $patience || fail "the program does not answer"
    shot "$1.before"
    poll $patience newer_frame "$1" || fail "the picture stands still: no new frame in ${patience} s"
}
# fact NAME KEY: one figure of a shot
fact() { "$python" -c 'import json, sys; print(json.load(open(sys.argv[1]))[sys.argv[2]])' "$tmp/$1.json" "$2"; }
# shift A B: how far the dot cloud's centre moved between two shots, in pixels
shift_between() { "$python" "$helper" shift "$tmp/$1.json" "$tmp/$2.json"; }
# over X Y: is X > Y
over() { "$python" -c 'import sys; sys.exit(not float(sys.argv[1]) > float(sys.argv[2]))' "$1" "$2"; }

# The canvas: 780 x 580 in the base colour at the top-left of the view, inside its frame; all
# the dots on it and none beyond.
check_canvas() {
    local name=$1 canvas outside
    canvas=$(fact "$name" canvas)
    outside=$(fact "$name" outside)
    "$python" - "$canvas" <<'EOF' || fail "$name: the canvas is at $canvas (left, top, right, bottom), not 780 x 580 at the view's top-left"
import json, sys
left, top, right, bottom = json.loads(sys.argv[1])
sys.exit(not (right - left == 780 and bottom - top == 580 and left == top and left <= 3))
EOF
    [ "$outside" = 0 ] || fail "$name: $outside pink pixels lie outside the canvas"
}

# ---- as a task bar sees it: the menu entry's window class, and an icon of its own -------------
"$python" "$helper" props "$wid" >"$tmp/props.json" || fail "cannot read the window's properties"
wm_class=$(fact props wm_class)
wm_class_wanted=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$wm_class_wanted" ] && [ "$wm_class" = "['qjellybox', '$wm_class_wanted']" ] ||
    fail "WM_CLASS is $wm_class; the menu entry's StartupWMClass is '$wm_class_wanted'"
# Pink dots on a near-white ground, which covers more of it than they do.
"$python" - "$(fact props icons)" <<'EOF' || fail "_NET_WM_ICON holds $(fact props icons) (width, height, pink pixels, near-white pixels), not the icon at 16 to 128 pixels"
import json, sys
icons = json.loads(sys.argv[1])
sys.exit(not ({(w, h) for w, h, _, _ in icons} >= {(16, 16), (32, 32), (48, 48), (128, 128)}
              and all(0 < pink < ground for _, _, pink, ground in icons)))
EOF
note "WM_CLASS $wm_class, as the entry says; _NET_WM_ICON at $(fact props icons | tr -d ' ') (width, height, pink pixels, near-white pixels)"

first_frame() { shot first && [ "$(fact first count)" -ge 25 ]; }
poll $patience first_frame || fail "no cube on the screen in ${patience} s (last shot: $(fact first count) dots)"

# ---- at rest: about 125 dots, the wobble's size ----------------------------------------------
# Straight on, the five dots of each line of sight draw over each other, so the 25 lines are
# the lower bound.
settle still1
sleep 0.4
settle still2
sleep 0.4
settle still3
for s in still1 still2 still3; do
    check_canvas $s
    count=$(fact $s count)
    [ "$count" -ge 25 ] && [ "$count" -le 125 ] || fail "$s: $count dots, not 25 to 125"
done
wobble=$("$python" -c 'import sys; print(max(map(float, sys.argv[1:])))' \
    "$(shift_between still1 still2)" "$(shift_between still2 still3)" "$(shift_between still1 still3)")
# A turn moves the cloud by far more than it wobbles: 1 degree is about 9 px near the middle.
threshold=$("$python" -c 'import sys; print(max(3 * float(sys.argv[1]), 30.0))' "$wobble")
note "at rest: $(fact still1 count), $(fact still2 count), $(fact still3 count) dots; wobble $wobble px; a turn must move the cloud over $threshold px"

# ---- the pointer without a button does not turn it -------------------------------------------
xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
xdotool mousemove --window "$wid" 100 100 mousemove --window "$wid" 700 500 \
    mousemove --window "$wid" 400 150 mousemove --window "$wid" 250 450 || fail "xdotool cannot move the pointer"
settle hover
hover=$(shift_between still3 hover)
over "$threshold" "$hover" || fail "moving the pointer without a button turned the cube: the cloud moved $hover px"
note "pointer moved without a button: the cloud moved $hover px"

# ---- keys: a little, for a count of distinct dots, then 45 Left, then 45 Right -----------------
xdotool key --delay 15 $(printf 'Left %.0s' $(seq 10)) || fail "xdotool cannot type"
settle left10
check_canvas left10
# Ten degrees off, the dots stand apart: a frame holds exactly 125 blobs of at most 3 x 3 pixels,
# one dot's pixels each. A pixel left behind where a dot was (a ghost) makes a blob too many or
# too large in every frame; two dots that touch by chance, only in some.
one_dot_each() { shot left10 && [ "$(fact left10 count)" = 125 ] && [ "$(fact left10 widest)" -le 3 ]; }
poll $patience one_dot_each ||
    fail "turned 10 degrees: no frame of 125 separate dots in ${patience} s (last: $(fact left10 count) blobs, the widest $(fact left10 widest) px)"
note "turned 10 degrees: 125 dots of at most 3 x 3 pixels, nothing else pink"

xdotool key --delay 15 $(printf 'Left %.0s' $(seq 35)) || fail "xdotool cannot type"
settle left45
left=$(shift_between still3 left45)
over "$left" "$threshold" || fail "45 Left presses moved the cloud only $left px"
note "45 Left presses: the cloud moved $left px"

xdotool key --delay 15 $(printf 'Right %.0s' $(seq 45)) || fail "xdotool cannot type"
settle right45
back=$(shift_between still3 right45)
away=$(shift_between left45 right45)
over "$away" "$threshold" && over "$threshold" "$back" ||
    fail "45 Right presses did not turn it back: $away px from the turned cloud, $back px from the first"
check_canvas right45
note "45 Right presses: back within $back px of the start, $away px from the turned cloud"

# ---- a drag with a button held turns it --------------------------------------------------------
xdotool mousemove --window "$wid" 400 300 mousedown 1 \
    mousemove --window "$wid" 405 295 mousemove --window "$wid" 410 290 \
    mousemove --window "$wid" 415 285 mousemove --window "$wid" 420 280 mouseup 1 ||
    fail "xdotool cannot drag"
settle drag
dragged=$(shift_between right45 drag)
over "$dragged" "$threshold" || fail "a drag of 20 px each way moved the cloud only $dragged px"
note "a drag of 20 px each way: the cloud moved $dragged px"

# ---- closed as a window manager closes it ------------------------------------------------------
kill -0 "$app_pid" 2>/dev/null || fail "the program ended on its own"
"$python" "$helper" close "$wid" || fail "cannot send the close request"
milliseconds() { echo $(($(date +%s%N) / 1000000)); }
closed_at=$(milliseconds)
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
until ended || [ $(($(milliseconds) - closed_at)) -ge 2000 ]; do
    sleep 0.05
done
took=$(($(milliseconds) - closed_at))
ended || fail "the program still runs 2 s after the close request"
wait "$app_pid"
status=$?
app_pid=
[ "$status" = 0 ] || fail "the program ended with status $status after the close request"
note "closed by WM_DELETE_WINDOW: ended with status 0 in about $took ms"

# ---- what it printed -------------------------------------------------------------------------
printf 'main-1\nmain0\nmain1\nmain2\nmain3\n' >"$tmp/expected"
cmp -s "$tmp/expected" "$tmp/stdout" || fail "standard output is not the five start-up lines: $(od -c "$tmp/stdout" | head -n 5)"
note "standard output: the five start-up lines"
echo "PASS"
