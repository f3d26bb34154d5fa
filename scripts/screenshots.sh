#!/usr/bin/env bash
# Regenerates the README's pictures in docs/screenshots/ from the product as it is built:
#   host.png                         ctb-host --screenshot on a fresh demo database (as ./scripts/run.sh
#                                    --screenshot shows it)
#   list.png, filter.png, entry.png  the screenshot lines of the UI script tests/scripts/browse_road.ui,
#                                    run in Qt windows against its own database and server
#   new-entry.png, allocations.png   those of entry_new_road.ui and allocation_kinds.ui
#   reversal.png                     that of reversal.ui
#   paste-preview.png                that of paste_lines.ui
#   print_preview.png                the list in the print preview (tests/report/test_entry_print_preview)
# Builds first (./scripts/build.sh, into build/ or $CTB_BUILD_DIR); commit the pictures it changes.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
./scripts/build.sh
BIN=$ROOT/${CTB_BUILD_DIR:-build}
OUT=$ROOT/docs/screenshots
mkdir -p "$OUT"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/ctb-screenshots.XXXXXX")
. scripts/start_server.sh
trap 'ctb_stop_server; rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen

"$BIN/server/ctb-server" --init-db "$WORK/demo.db" --demo >/dev/null
ctb_start_server "$WORK/server.log" "$BIN/server/ctb-server" --db "$WORK/demo.db"
"$BIN/host/ctb-host" --db "$WORK/demo.db" --server "127.0.0.1:$CTB_SERVER_PORT" --company 01 --user DEMO \
    --screenshot "$OUT/host.png"
ctb_stop_server

for script in browse_road entry_new_road allocation_kinds reversal paste_lines; do
    CTB_SCREENSHOT_DIR=$OUT bash tests/scripts/run_script.sh "$BIN/server/ctb-server" \
        "$BIN/tools/uiscript/ctb-uiscript" "tests/scripts/$script.ui" --qt
done
CTB_SCREENSHOT_DIR=$OUT "$BIN/tests/report/test_entry_print_preview" >/dev/null
ls -l "$OUT"/*.png
