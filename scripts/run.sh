#!/usr/bin/env bash
# The run command: installs what is missing, builds, creates the demo SQLite database when it is missing,
# starts ctb-server on a free loopback port, then the host application with a demo session; the server
# stops when the host exits. Without a display the host runs under xvfb-run.
#   ./scripts/run.sh                      run the product
#   ./scripts/run.sh --screenshot F.png   open the journal-entry screen, save a screenshot, exit
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
./scripts/deps.sh
./scripts/build.sh
BIN=$ROOT/build
mkdir -p run
DB=${CTB_DB:-$ROOT/run/demo.db}
if [ ! -f "$DB" ]; then
    echo "Creating the demo database $DB"
    "$BIN/server/ctb-server" --init-db "$DB" --demo
fi
PORT=""
for p in $(seq 18080 18180); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then PORT=$p; break; fi
done
[ -n "$PORT" ] || { echo "No free port between 18080 and 18180"; exit 1; }
"$BIN/server/ctb-server" --db "$DB" --listen "127.0.0.1:$PORT" 2>"$ROOT/run/server.log" &
SERVER=$!
trap 'kill $SERVER 2>/dev/null; wait $SERVER 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null && break
    sleep 0.1
done
echo "ctb-server on 127.0.0.1:$PORT (log: run/server.log)"
HOST=("$BIN/host/ctb-host" --db "$DB" --server "127.0.0.1:$PORT" --company 01 --user DEMO "$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running the host under xvfb-run (use --screenshot FILE.png to see it)."
    xvfb-run -a -s "-screen 0 1400x900x24" "${HOST[@]}"
else
    "${HOST[@]}"
fi
