#!/usr/bin/env bash
# Runs one UI script against its own database and server:
#   run_script.sh CTB_SERVER CTB_UISCRIPT SCRIPT [--qt]
# The database is the schema plus fixture*.sql of this folder; in the script, @DB@ and @SERVER@ stand
# for the database path and the server's host:port.
set -euo pipefail
SERVER_BIN=$1
UISCRIPT_BIN=$2
SCRIPT=$3
shift 3
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/ctb-script.XXXXXX")
SERVER_PID=""
cleanup() {
    if [ -n "$SERVER_PID" ]; then
        kill "$SERVER_PID" 2>/dev/null || true
        wait "$SERVER_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'echo "run_script.sh: line $LINENO failed (exit $?)" >&2' ERR

DB=$WORK/test.db
"$SERVER_BIN" --init-db "$DB" >/dev/null
for f in "$HERE"/fixture*.sql; do
    sqlite3 -bail "$DB" <"$f"
done

# Several scripts run at once: start on a random port and move on when it is taken.
PORT=""
for _ in $(seq 1 20); do
    p=$((20000 + RANDOM % 30000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null && continue
    "$SERVER_BIN" --db "$DB" --listen "127.0.0.1:$p" 2>"$WORK/server.log" &
    SERVER_PID=$!
    for _ in $(seq 1 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null && { PORT=$p; break; }
        kill -0 "$SERVER_PID" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$PORT" ] && break
    # Taken meanwhile (the server then has already exited): try another port.
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
    SERVER_PID=""
done
[ -n "$PORT" ] || { echo "no free port for ctb-server"; cat "$WORK/server.log"; exit 1; }

sed -e "s|@DB@|$DB|g" -e "s|@SERVER@|127.0.0.1:$PORT|g" "$SCRIPT" >"$WORK/$(basename "$SCRIPT")"
if "$UISCRIPT_BIN" "$@" "$WORK/$(basename "$SCRIPT")"; then
    exit 0
fi
echo "--- server log"
tail -n 30 "$WORK/server.log"
exit 1
