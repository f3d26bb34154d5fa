#!/usr/bin/env bash
# Server benchmarks on a generated journal (default 100,000 entries, ~400,000 lines), on SQLite and on
# PostgreSQL: list queries, opening an entry, confirms with 1 and 8 clients, start time and memory of
# the real ctb-server process.
#
#   bench/server_bench.sh [BUILD_DIR] [ENTRIES]
set -euo pipefail
BUILD=${1:-/work/main/build}
ENTRIES=${2:-100000}
SERVER=$BUILD/server/ctb-server
BENCH=$BUILD/bench/bench_server
WORK=$(mktemp -d /tmp/ctb-server-bench.XXXXXX)
chmod 755 "$WORK"  # the postgres user reaches its cluster below
PGBIN=/usr/lib/postgresql/15/bin
PGPORT=${PGPORT:-55432}
cleanup() {
    [[ -n "${SRV_PID:-}" ]] && kill "$SRV_PID" 2>/dev/null || true
    if [[ -f $WORK/pg/PG_VERSION ]]; then
        runuser -u postgres -- $PGBIN/pg_ctl -D $WORK/pg -m fast stop >/dev/null 2>&1 || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap "exit 143" INT TERM  # runs the EXIT trap, which stops the cluster

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# Starts ctb-server on DB, prints the time until /health answers, runs the benchmark against it and
# prints the server's resident memory afterwards.
run_backend() {
    local name=$1 db=$2
    echo "== $name =="
    local t0 t1 gen0 gen1
    gen0=$(date +%s.%N)
    "$SERVER" --init-db "$db" --demo-size "$ENTRIES" >/dev/null
    gen1=$(date +%s.%N)
    printf 'generated %s entries in %.1f s\n' "$ENTRIES" "$(echo "$gen1 - $gen0" | bc)"
    local port; port=$(free_port)
    t0=$(date +%s.%N)
    "$SERVER" --db "$db" --listen 127.0.0.1:$port --quiet 2>$WORK/server-$name.log &
    SRV_PID=$!
    until curl -sf http://127.0.0.1:$port/health >/dev/null; do sleep 0.01; done
    t1=$(date +%s.%N)
    printf 'server ready in %.0f ms\n' "$(echo "($t1 - $t0) * 1000" | bc)"
    "$BENCH" --db "$db" --server 127.0.0.1:$port
    grep VmRSS /proc/$SRV_PID/status | sed 's/^/server resident memory: /'
    kill -TERM $SRV_PID; wait $SRV_PID || true
    SRV_PID=
}

run_backend sqlite "$WORK/bench.sqlite"

install -d -o postgres -g postgres $WORK/pg $WORK/run
runuser -u postgres -- $PGBIN/initdb -D $WORK/pg -U ctb --auth=trust -E UTF8 --locale=C.UTF-8 >/dev/null
runuser -u postgres -- $PGBIN/pg_ctl -D $WORK/pg -l $WORK/run/pg.log -w \
    -o "-k $WORK/run -c listen_addresses=127.0.0.1 -p $PGPORT" start >/dev/null
runuser -u postgres -- $PGBIN/createdb -h 127.0.0.1 -p $PGPORT -U ctb ctbbench
run_backend postgresql "postgresql://ctb@127.0.0.1:$PGPORT/ctbbench"
