#!/usr/bin/env bash
# Server benchmarks on a generated journal (default 100,000 entries, ~400,000 lines), on SQLite and on
# PostgreSQL: list queries, opening an entry, confirms with 1 and 8 clients, start time and memory of
# the real ctb-server process.
#
#   bench/server_bench.sh [BUILD_DIR] [ENTRIES]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# The build folder defaults to the tree's own build/ (the one ./scripts/build.sh makes).
BUILD=$(cd "${1:-$HERE/../build}" && pwd)
ENTRIES=${2:-100000}
SERVER=$BUILD/server/ctb-server
BENCH=$BUILD/bench/bench_server
WORK=$(mktemp -d /tmp/ctb-server-bench.XXXXXX)
chmod 755 "$WORK"  # the postgres user reaches its cluster below
PGBIN=$("$HERE/../scripts/pg_bindir.sh")
. "$HERE/../scripts/start_server.sh"
cleanup() {
    ctb_stop_server
    if [[ -f $WORK/pg/PG_VERSION ]]; then
        runuser -u postgres -- $PGBIN/pg_ctl -D $WORK/pg -m fast stop >/dev/null 2>&1 || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap "exit 143" INT TERM  # runs the EXIT trap, which stops the cluster

# The cluster's port: one the system handed out a moment ago (PostgreSQL cannot be told port 0).
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
PGPORT=${PGPORT:-$(free_port)}

# Starts ctb-server on DB, prints the time until it listens (its start-up line names the port), runs
# the benchmark against it and prints the server's resident memory afterwards.
run_backend() {
    local name=$1 db=$2
    echo "== $name =="
    local t0 t1 gen0 gen1
    gen0=$(date +%s.%N)
    "$SERVER" --init-db "$db" --demo-size "$ENTRIES" >/dev/null
    gen1=$(date +%s.%N)
    printf 'generated %s entries in %.1f s\n' "$ENTRIES" "$(echo "$gen1 - $gen0" | bc)"
    t0=$(date +%s.%N)
    # Ready once it names its port: the start-up line comes after the socket is listening.
    ctb_start_server "$WORK/server-$name.log" "$SERVER" --db "$db" --quiet
    t1=$(date +%s.%N)
    printf 'server ready in %.0f ms\n' "$(echo "($t1 - $t0) * 1000" | bc)"
    "$BENCH" --db "$db" --server "127.0.0.1:$CTB_SERVER_PORT"
    grep VmRSS "/proc/$CTB_SERVER_PID/status" | sed 's/^/server resident memory: /'
    ctb_stop_server
}

run_backend sqlite "$WORK/bench.sqlite"

install -d -o postgres -g postgres $WORK/pg $WORK/run
runuser -u postgres -- $PGBIN/initdb -D $WORK/pg -U ctb --auth=trust -E UTF8 --locale=C.UTF-8 >/dev/null
runuser -u postgres -- $PGBIN/pg_ctl -D $WORK/pg -l $WORK/run/pg.log -w \
    -o "-k $WORK/run -c listen_addresses=127.0.0.1 -p $PGPORT" start >/dev/null
runuser -u postgres -- $PGBIN/createdb -h 127.0.0.1 -p $PGPORT -U ctb ctbbench
run_backend postgresql "postgresql://ctb@127.0.0.1:$PGPORT/ctbbench"
