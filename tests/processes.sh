# Sourced by the end-to-end tests: waiting on and ending the processes they start, and their
# X server.

# stop PID: ask, then insist
stop() {
    local pid=$1 i
    kill "$pid" 2>/dev/null || return 0
    for i in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# poll SECONDS CMD...: true as soon as CMD is, false when the time is up
poll() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# start_xvfb DIR: an Xvfb of our own, its files in DIR; sets xvfb_pid, DISPLAY and XAUTHORITY.
# False, with the reason said, where no X server can start at all.
start_xvfb() {
    local dir=$1 cookie
    if ! command -v Xvfb >/dev/null; then
        echo "SKIP: Xvfb is not installed, no X server to test in"
        return 1
    fi
    # Only holders of the cookie may connect. The server takes every entry of the file whatever
    # its display number; the client's entry gets the real number once the server has chosen it.
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    touch "$dir/auth"
    xauth -q -f "$dir/auth" add :0 MIT-MAGIC-COOKIE-1 "$cookie" || { echo "SKIP: xauth cannot write a cookie"; return 1; }
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -auth "$dir/auth" \
        3>"$dir/displayfd" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    server_ready() { grep -qs '^[0-9]' "$dir/displayfd" || ! kill -0 "$xvfb_pid" 2>/dev/null; }
    if ! poll 30 server_ready || ! grep -qs '^[0-9]' "$dir/displayfd"; then
        echo "SKIP: Xvfb did not start, no X server to test in:"
        tail -n 5 "$dir/xvfb.log"
        return 1
    fi
    export DISPLAY=:$(head -n 1 "$dir/displayfd")
    xauth -q -f "$dir/auth" add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie"
    export XAUTHORITY=$dir/auth
}

# wakeups PID SECONDS: the voluntary context switches of all PID's threads a second, as
# powertop counts wake-ups
wakeups() {
    switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'; }
    local before after
    before=$(switches "$1")
    sleep "$2"
    after=$(switches "$1")
    echo $(((after - before) / $2))
}
