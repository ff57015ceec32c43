#!/usr/bin/env bash
# jellybox-sim in a real terminal (tmux): a long run shows its progress in one line, Ctrl-C
# stops it with status 130 and the line gone, the CSV it wrote whole; --quiet shows nothing.
# usage: sim_terminal_test.sh PATH_TO_JELLYBOX_SIM   (exit 77: no tmux here)
set -uo pipefail
sim=${1:?usage: sim_terminal_test.sh PATH_TO_JELLYBOX_SIM}
command -v tmux >/dev/null || { echo "SKIP: tmux is not installed"; exit 77; }
work=$(mktemp -d)
socket=qjellybox-test-$$
tmux_() { tmux -L "$socket" "$@"; }
trap 'tmux_ kill-server 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; echo "--- the terminal:" >&2; tmux_ capture-pane -p -t t >&2; exit 1; }
# poll SECONDS PATTERN: true once the terminal shows a line matching PATTERN
poll() {
  local end=$((SECONDS + $1))
  until tmux_ capture-pane -p -t t | grep -qE "$2"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}

tmux_ new-session -d -s t -x 100 -y 20 "env PS1='$ ' bash --norc --noprofile" || fail "tmux cannot start"
tmux_ send-keys -t t "'$sim' --ticks 100000000 --energy 10000 >'$work/e.csv'; echo status=\$?" Enter
poll 30 '^tick [0-9]+ of 100000000 \([0-9]+%\), [0-9]+ a second, .* left$' || fail "no progress line"
tmux_ send-keys -t t C-c
poll 30 '^status=' || fail "Ctrl-C did not end the run"
tmux_ capture-pane -p -t t | grep -qx 'status=130' || fail "Ctrl-C: the status is not 130"
tmux_ capture-pane -p -t t | grep -qxE 'jellybox-sim: stopped by SIGINT after tick [0-9]+ of 100000000' ||
  fail "Ctrl-C: no word of where it stopped"
tmux_ capture-pane -p -t t | grep -q '^tick ' && fail "the progress line was left behind"
grep -qvE '^(tick,energy|[0-9]+,[0-9.e+-]+)$' "$work/e.csv" && fail "a row of the CSV is cut: $(tail -n 1 "$work/e.csv")"
[ "$(wc -l <"$work/e.csv")" -ge 2 ] || fail "the CSV holds no rows"

tmux_ send-keys -t t clear Enter
tmux_ send-keys -t t "'$sim' --ticks 400000 --quiet >/dev/null; echo quiet=\$?" Enter
until tmux_ capture-pane -p -t t | grep -q '^quiet='; do
  tmux_ capture-pane -p -t t | grep -q '^tick ' && fail "--quiet showed a progress line"
  sleep 0.2
done
echo "progress shown, Ctrl-C stopped the run whole with status 130, --quiet quiet"
