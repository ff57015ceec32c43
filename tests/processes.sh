# Sourced by the end-to-end tests: waiting on and ending the processes they start.

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
