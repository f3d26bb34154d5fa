#!/usr/bin/env bash
# Runs one UI script against its own database and server:
#   run_script.sh CTB_SERVER CTB_UISCRIPT SCRIPT [--qt]
# The database is the schema plus fixture*.sql of this folder; in the script, @DB@ and @SERVER@ stand
# for the database path and the server's host:port, @SHOTS@ for the folder screenshots go to
# ($CTB_SCREENSHOT_DIR, or the run's own temporary folder).
set -euo pipefail
SERVER_BIN=$1
UISCRIPT_BIN=$2
SCRIPT=$3
shift 3
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/start_server.sh
. "$HERE/../../scripts/start_server.sh"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/ctb-script.XXXXXX")
cleanup() {
    ctb_stop_server
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'echo "run_script.sh: line $LINENO failed (exit $?)" >&2' ERR

DB=$WORK/test.db
"$SERVER_BIN" --init-db "$DB" >/dev/null
for f in "$HERE"/fixture*.sql; do
    sqlite3 -bail "$DB" <"$f"
done

# The server takes a port the system gives it and names it on its start-up line.
ctb_start_server "$WORK/server.log" "$SERVER_BIN" --db "$DB"

# Clipboard texts (`clipboard file "clipboard/NAME"`) go beside the script byte for byte.
if [ -d "$HERE/clipboard" ]; then
    cp -R "$HERE/clipboard" "$WORK/clipboard"
fi

SHOTS=${CTB_SCREENSHOT_DIR:-$WORK}
sed -e "s|@DB@|$DB|g" -e "s|@SERVER@|127.0.0.1:$CTB_SERVER_PORT|g" -e "s|@SHOTS@|$SHOTS|g" "$SCRIPT" \
    >"$WORK/$(basename "$SCRIPT")"
if "$UISCRIPT_BIN" "$@" "$WORK/$(basename "$SCRIPT")"; then
    exit 0
fi
echo "--- server log"
tail -n 30 "$WORK/server.log"
exit 1
