# Sourced by the scripts that start ctb-server for a while: ctb_start_server starts it on a port the
# system picks and reads that port from its start-up line ("ctb-server: escutando em HOST:PORT, ...").
#
#   ctb_start_server LOG_FILE CTB_SERVER_BINARY ARGS...      (ARGS without --listen)
#
# Sets CTB_SERVER_PID and CTB_SERVER_PORT; returns non-zero (with the log on stderr) when the server
# exits before it listens. Everything the server writes to stderr goes to LOG_FILE. ctb_stop_server
# stops it again.

ctb_start_server() {
    local log=$1 bin=$2
    shift 2
    local fifo
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/ctb-server-err.XXXXXX")
    mkfifo -m 600 "$fifo"
    "$bin" "$@" --listen 127.0.0.1:0 2>"$fifo" &
    CTB_SERVER_PID=$!
    # Opening the read end lets the server's redirection go through; the name is not needed after.
    exec {CTB_SERVER_ERR}<"$fifo"
    rm -f "$fifo"
    CTB_SERVER_PORT=""
    : >"$log"
    local line
    while IFS= read -r line <&"$CTB_SERVER_ERR"; do
        printf '%s\n' "$line" >>"$log"
        if [[ $line =~ ^ctb-server:\ escutando\ em\ [^,]*:([0-9]+)(,|$) ]]; then
            CTB_SERVER_PORT=${BASH_REMATCH[1]}
            break
        fi
    done
    # The rest of the server's stderr keeps flowing into the log, so the server never blocks on it.
    cat <&"$CTB_SERVER_ERR" >>"$log" &
    CTB_SERVER_DRAIN=$!
    exec {CTB_SERVER_ERR}<&-
    if [ -z "$CTB_SERVER_PORT" ]; then
        wait "$CTB_SERVER_PID" 2>/dev/null || true
        CTB_SERVER_PID=""
        echo "ctb-server did not start:" >&2
        cat "$log" >&2
        return 1
    fi
}

ctb_stop_server() {
    if [ -n "${CTB_SERVER_PID:-}" ]; then
        kill "$CTB_SERVER_PID" 2>/dev/null || true
        wait "$CTB_SERVER_PID" 2>/dev/null || true
        CTB_SERVER_PID=""
    fi
    if [ -n "${CTB_SERVER_DRAIN:-}" ]; then
        wait "$CTB_SERVER_DRAIN" 2>/dev/null || true
        CTB_SERVER_DRAIN=""
    fi
}
