#!/usr/bin/env bash
# Eight clients confirm entries for a fixed time while the server is killed with SIGKILL and started
# again; then the database itself is checked: every acknowledged entry whole, none half stored, every
# entry balanced with its allocations adding up, no number used twice.
#
#   tests/load/load_kill.sh BUILD_DIR sqlite|postgres [SECONDS]
set -euo pipefail
BUILD=$1 BACKEND=$2 SECONDS_RUN=${3:-${CTB_LOAD_SECONDS:-10}}
HERE=$(cd "$(dirname "$0")" && pwd)
CTB_SERVER=$BUILD/server/ctb-server
LOAD=$BUILD/tests/load/ctb-load
WORK=$(mktemp -d /tmp/ctb-load.XXXXXX)
source "$HERE/lib.sh"
cleanup() {
    [ -n "${LOAD_PID:-}" ] && kill "$LOAD_PID" 2>/dev/null || true
    [ -n "${SERVER_PID:-}" ] && kill -9 "$SERVER_PID" 2>/dev/null || true
    stop_pg
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 143' INT TERM

if [ "$BACKEND" = postgres ]; then
    start_pg
    create_pg_db load
    DB=$PGURL_BASE/load
else
    DB=$WORK/load.db
fi
"$LOAD" prepare --db "$DB"

start_server server 127.0.0.1:0 --db "$DB" --quiet
PORT=$SERVER_PORT
echo "ctb-server on 127.0.0.1:$PORT ($BACKEND)"
"$LOAD" run --server "127.0.0.1:$PORT" --clients 8 --seconds "$SECONDS_RUN" --acks "$WORK/acks" &
LOAD_PID=$!

# Kill once a good number of confirms were acknowledged (or a third of the time went by).
acked() { [ -f "$WORK/acks" ] && [ "$(wc -l <"$WORK/acks")" -ge 200 ]; }
wait_for $((SECONDS_RUN * 10 / 3)) acked || true
echo "kill -9 after $(wc -l <"$WORK/acks") acknowledged confirms"
kill -9 "$SERVER_PID"
wait "$SERVER_PID" 2>/dev/null || true
# The same port again, so the clients find it (SO_REUSEADDR lets it bind at once).
start_server server-again "127.0.0.1:$PORT" --db "$DB" --quiet
echo "ctb-server started again on 127.0.0.1:$SERVER_PORT"

wait "$LOAD_PID"
LOAD_PID=
kill -TERM "$SERVER_PID"; wait "$SERVER_PID" || true
SERVER_PID=
"$LOAD" check --db "$DB" --acks "$WORK/acks"
