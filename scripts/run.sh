#!/usr/bin/env bash
# The run command: installs what is missing, builds, creates the demo SQLite database when it is missing,
# starts ctb-server on a loopback port the system picks, then the host application with a demo session;
# the server stops when the host exits. Without a display the host runs under xvfb-run.
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
. scripts/start_server.sh
# A port the system picks, named on the server's start-up line.
ctb_start_server "$ROOT/run/server.log" "$BIN/server/ctb-server" --db "$DB"
PORT=$CTB_SERVER_PORT
trap ctb_stop_server EXIT
echo "ctb-server on 127.0.0.1:$PORT (log: run/server.log)"
HOST=("$BIN/host/ctb-host" --db "$DB" --server "127.0.0.1:$PORT" --company 01 --user DEMO "$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running the host under xvfb-run (use --screenshot FILE.png to see it)."
    xvfb-run -a -s "-screen 0 1400x900x24" "${HOST[@]}"
else
    "${HOST[@]}"
fi
