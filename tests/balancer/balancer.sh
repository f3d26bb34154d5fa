#!/usr/bin/env bash
# Three ctb-server processes on one PostgreSQL database behind haproxy, with tokens: eight clients
# confirm through the balancer, one server is killed with SIGKILL in the middle, the other two carry on,
# and the database shows every acknowledged entry stored once and every number used once.
#
#   tests/balancer/balancer.sh BUILD_DIR [SECONDS]
set -euo pipefail
BUILD=$1 SECONDS_RUN=${2:-${CTB_LOAD_SECONDS:-10}}
HERE=$(cd "$(dirname "$0")" && pwd)
CTB_SERVER=$BUILD/server/ctb-server
LOAD=$BUILD/tests/load/ctb-load
WORK=$(mktemp -d /tmp/ctb-balancer.XXXXXX)
source "$HERE/../load/lib.sh"
PIDS=()
cleanup() {
    [ -n "${LOAD_PID:-}" ] && kill "$LOAD_PID" 2>/dev/null || true
    for p in "${PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    stop_pg
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 143' INT TERM
command -v haproxy >/dev/null || { echo "haproxy is not installed (scripts/deps.sh)"; exit 1; }

start_pg
create_pg_db shared
DB=$PGURL_BASE/shared
"$LOAD" prepare --db "$DB"
TOKEN=$(head -c 24 /dev/urandom | base64 | tr -d '/+=')
( umask 077; echo "CARGA $TOKEN" >"$WORK/tokens" )

declare -a PORTS
for i in 1 2 3; do
    start_server "server$i" 127.0.0.1:0 --db "$DB" --tokens "$WORK/tokens" --threads 8
    PIDS+=("$SERVER_PID"); PORTS[$i]=$SERVER_PORT
done
echo "servers on ports ${PORTS[1]} ${PORTS[2]} ${PORTS[3]}"

LB_PORT=$(free_port)
cat >"$WORK/haproxy.cfg" <<CFG
global
    maxconn 512
defaults
    mode http
    timeout connect 1s
    timeout client 30s
    timeout server 30s
    # Only a request that never reached a server is sent to another: a confirm is never sent twice.
    retries 3
    retry-on conn-failure
    option redispatch
    option http-keep-alive
frontend ctb
    bind 127.0.0.1:$LB_PORT
    default_backend servers
backend servers
    balance roundrobin
    option httpchk GET /health
    http-check expect status 200
    default-server inter 200ms fall 2 rise 2
    server s1 127.0.0.1:${PORTS[1]} check
    server s2 127.0.0.1:${PORTS[2]} check
    server s3 127.0.0.1:${PORTS[3]} check
CFG
haproxy -f "$WORK/haproxy.cfg" -db >"$WORK/haproxy.log" 2>&1 &
PIDS+=("$!")
wait_for 100 health "http://127.0.0.1:$LB_PORT" || { echo "haproxy did not start"; cat "$WORK/haproxy.log"; exit 1; }
echo "haproxy on 127.0.0.1:$LB_PORT"

"$LOAD" run --server "127.0.0.1:$LB_PORT" --clients 8 --seconds "$SECONDS_RUN" --acks "$WORK/acks" --token "$TOKEN" &
LOAD_PID=$!
acked() { [ -f "$WORK/acks" ] && [ "$(wc -l <"$WORK/acks")" -ge 200 ]; }
wait_for $((SECONDS_RUN * 10 / 3)) acked || true
served() { grep -c '^POST /rdm/' "$WORK/server$1.log" || true; }
AT_KILL=$(wc -l <"$WORK/acks"); S1=$(served 1); S3=$(served 3)
echo "kill -9 of server 2 after $AT_KILL acknowledged confirms"
kill -9 "${PIDS[1]}"
wait "$LOAD_PID"
LOAD_PID=
AFTER=$(($(wc -l <"$WORK/acks") - AT_KILL)); S1_AFTER=$(($(served 1) - S1)); S3_AFTER=$(($(served 3) - S3))
echo "after the kill: $AFTER confirms acknowledged; server 1 served $S1_AFTER calls, server 3 $S3_AFTER"
"$LOAD" check --db "$DB" --acks "$WORK/acks"
if [ "$AFTER" -lt 50 ] || [ "$S1_AFTER" -lt 50 ] || [ "$S3_AFTER" -lt 50 ]; then
    echo "the remaining servers did not carry on"; exit 1
fi
