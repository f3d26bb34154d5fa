# Shared by the load, fault, balancer and backup scripts: a throwaway PostgreSQL cluster, free ports and
# ctb-server processes whose port is read from their start-up line. Source it; set WORK first.

# PostgreSQL's server programs wherever the installed version keeps them.
PGBIN=$("$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/pg_bindir.sh")

as_postgres() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# For programs that cannot take port 0 themselves (PostgreSQL, the balancer); $LOAD is ctb-load.
free_port() {
    "$LOAD" free-port
}

# Waits (bounded) until the command succeeds; $1 tenths of a second at most.
wait_for() {
    local tenths=$1; shift
    for _ in $(seq 1 "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# start_pg: initdb and start in $WORK/pg, sets PGPORT and PGURL_BASE (postgresql://ctb@127.0.0.1:PORT).
start_pg() {
    mkdir -p "$WORK/pg" "$WORK/pgrun"
    [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$WORK/pg" "$WORK/pgrun" && chmod 755 "$WORK"
    as_postgres "$PGBIN/initdb" -D "$WORK/pg" -U ctb --auth=trust -E UTF8 --locale=C.UTF-8 >"$WORK/initdb.log" 2>&1
    # A port taken between the probe and the start: try another.
    for _ in 1 2 3 4 5; do
        PGPORT=$(free_port)
        if as_postgres "$PGBIN/pg_ctl" -D "$WORK/pg" -l "$WORK/pgrun/pg.log" -w \
            -o "-k $WORK/pgrun -c listen_addresses=127.0.0.1 -p $PGPORT -c max_connections=200" start >/dev/null; then
            PGURL_BASE="postgresql://ctb@127.0.0.1:$PGPORT"
            return 0
        fi
    done
    echo "PostgreSQL did not start"; cat "$WORK/pgrun/pg.log"; return 1
}

stop_pg() {
    if [ -f "$WORK/pg/PG_VERSION" ]; then
        as_postgres "$PGBIN/pg_ctl" -D "$WORK/pg" -m immediate stop >/dev/null 2>&1 || true
    fi
}

create_pg_db() {
    as_postgres "$PGBIN/createdb" -h 127.0.0.1 -p "$PGPORT" -U ctb "$1"
}

# start_server NAME LISTEN ARGS...: ctb-server in the background, log in $WORK/NAME.log; sets
# SERVER_PID and SERVER_PORT from the start-up line ("ctb-server: escutando em HOST:PORT, ...").
start_server() {
    local name=$1 listen=$2; shift 2
    : >"$WORK/$name.log"
    "$CTB_SERVER" --listen "$listen" "$@" 2>>"$WORK/$name.log" &
    SERVER_PID=$!
    SERVER_PORT=""
    for _ in $(seq 1 300); do
        SERVER_PORT=$(sed -n 's/^ctb-server: escutando em [^,]*:\([0-9][0-9]*\), .*/\1/p' "$WORK/$name.log" | tail -1)
        [ -n "$SERVER_PORT" ] && return 0
        kill -0 "$SERVER_PID" 2>/dev/null || break
        sleep 0.05
    done
    echo "ctb-server ($name) did not start:"; cat "$WORK/$name.log"; return 1
}

health() {
    curl -sf --max-time 2 "$1/health" >/dev/null
}
