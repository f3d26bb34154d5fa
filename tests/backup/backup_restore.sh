#!/usr/bin/env bash
# The backups of docs/deploy.md, taken while clients confirm and once they stopped, then restored and
# served: an online backup of the SQLite file (sqlite3 .backup) and a pg_dump of PostgreSQL.
# A backup taken under load holds only whole entries; one taken after the last acknowledged confirm
# holds every acknowledged entry.
#
#   tests/backup/backup_restore.sh BUILD_DIR sqlite|postgres [SECONDS]
set -euo pipefail
BUILD=$1 BACKEND=$2 SECONDS_RUN=${3:-4}
HERE=$(cd "$(dirname "$0")" && pwd)
CTB_SERVER=$BUILD/server/ctb-server
LOAD=$BUILD/tests/load/ctb-load
WORK=$(mktemp -d /tmp/ctb-backup.XXXXXX)
source "$HERE/../load/lib.sh"
cleanup() {
    [ -n "${LOAD_PID:-}" ] && kill "$LOAD_PID" 2>/dev/null || true
    [ -n "${SERVER_PID:-}" ] && kill -9 "$SERVER_PID" 2>/dev/null || true
    stop_pg
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 143' INT TERM

PGB=$PGBIN  # from lib.sh
if [ "$BACKEND" = postgres ]; then
    start_pg
    create_pg_db books
    DB=$PGURL_BASE/books
    backup() { "$PGB/pg_dump" -h 127.0.0.1 -p "$PGPORT" -U ctb -Fc -f "$WORK/$1.dump" books; }
    restore() {
        create_pg_db "$1"
        "$PGB/pg_restore" -h 127.0.0.1 -p "$PGPORT" -U ctb --exit-on-error -d "$1" "$WORK/$1.dump"
        RESTORED=$PGURL_BASE/$1
    }
else
    DB=$WORK/books.db
    backup() { sqlite3 "$DB" ".backup '$WORK/$1.db'"; }
    restore() {
        cp "$WORK/$1.db" "$WORK/$1-restored.db"
        [ "$(sqlite3 "$WORK/$1-restored.db" 'PRAGMA integrity_check')" = ok ]
        RESTORED=$WORK/$1-restored.db
    }
fi
"$LOAD" prepare --db "$DB"
start_server server 127.0.0.1:0 --db "$DB" --quiet
"$LOAD" run --server "127.0.0.1:$SERVER_PORT" --clients 4 --seconds "$SECONDS_RUN" --acks "$WORK/acks" &
LOAD_PID=$!
acked() { [ -f "$WORK/acks" ] && [ "$(wc -l <"$WORK/acks")" -ge 100 ]; }
wait_for $((SECONDS_RUN * 10)) acked
backup under_load
echo "backup under load taken after $(wc -l <"$WORK/acks") acknowledged confirms"
wait "$LOAD_PID"
LOAD_PID=
backup quiet
kill -TERM "$SERVER_PID"; wait "$SERVER_PID" || true
SERVER_PID=

: >"$WORK/none"
for b in under_load quiet; do
    restore "$b"
    [ "$b" = quiet ] && acks=$WORK/acks || acks=$WORK/none
    echo "restored $b:"
    "$LOAD" check --db "$RESTORED" --acks "$acks"
    # The restored database serves.
    start_server "restored-$b" 127.0.0.1:0 --db "$RESTORED" --quiet
    first=$(head -1 "$WORK/acks" | cut -d' ' -f1)
    curl -sf "http://127.0.0.1:$SERVER_PORT/rdm/CTB10000.rdmLancamento/getLancFiltrado" \
        -d "{\"args\": [\"L1\", \"$first\"]}" | grep -q "\"NRLANCCONT\""
    kill -TERM "$SERVER_PID"; wait "$SERVER_PID" || true
    SERVER_PID=
done
