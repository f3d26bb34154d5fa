#!/usr/bin/env bash
# The Debian package of this build, unpacked into a temporary root and run from there:
#   test_package.sh BUILD_DIR BINDIR LIBDIR MODULEDIR
# (the last three as installed below /usr). cpack packages the tree as it is built (the developer's
# or CI's build); the release package is the same rules on a Release build (scripts/package.sh).
set -euo pipefail
BUILD=$1 BINDIR=$2 LIBDIR=$3 MODULEDIR=$4
HERE=$(cd "$(dirname "$0")" && pwd)
SOURCE=$(cd "$HERE/../.." && pwd)
. "$SOURCE/scripts/start_server.sh"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/ctb-package.XXXXXX")
cleanup() {
    ctb_stop_server
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'echo "test_package.sh: line $LINENO failed (exit $?)" >&2' ERR
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

echo "== cpack -G DEB"
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 || {
    cat "$WORK/cpack.log"
    fail "cpack"
}
debs=("$WORK"/pkg/*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "one .deb expected, found: ${debs[*]}"
DEB=${debs[0]}
echo "$(basename "$DEB"), $(du -k "$DEB" | cut -f1) KB"

echo "== contents and control fields"
dpkg-deb -c "$DEB" | awk '{ print ($(NF-1) == "->") ? $(NF-2) : $NF }' | sed 's|^\./||' >"$WORK/files"
for f in "usr/$BINDIR/ctb-host" "usr/$BINDIR/ctb-server" "usr/$BINDIR/ctb-uiscript" \
         "usr/$LIBDIR/libctb_platform.so.0" "usr/$LIBDIR/libctb_hostlib.so.0" \
         "usr/$MODULEDIR/PKG_CTB10000.so" "usr/lib/systemd/system/ctb-server.service"; do
    grep -qxF "$f" "$WORK/files" || fail "the package lacks $f"
done
# The unit is installed, not enabled: no .wants link, no enabling in the maintainer scripts.
if grep -q '\.wants/' "$WORK/files"; then fail "the package enables a unit"; fi
dpkg-deb -e "$DEB" "$WORK/control"
if grep -qE 'systemctl (enable|start)|deb-systemd-helper enable' "$WORK/control"/*; then
    fail "a maintainer script enables or starts the service"
fi
depends=$(dpkg-deb -f "$DEB" Depends)
for d in libqt6sql6-sqlite libqt6sql6-psql libqt6widgets6 libcpp-httplib; do
    [[ $depends == *"$d"* ]] || fail "Depends lacks $d: $depends"
done

echo "== unpacked into a temporary root"
ROOT=$WORK/root
dpkg -x "$DEB" "$ROOT"
# Installed binaries load the installed libraries (RUNPATH relative to themselves), one platform copy.
bash "$SOURCE/tests/platform/check_one_platform.sh" "$ROOT/usr/$LIBDIR/libctb_platform.so.0" \
    "$ROOT/usr/$LIBDIR/libctb_hostlib.so.0" "$ROOT/usr/$MODULEDIR/PKG_CTB10000.so" \
    "$ROOT/usr/$BINDIR/ctb-host" "$ROOT/usr/$BINDIR/ctb-server" "$ROOT/usr/$BINDIR/ctb-uiscript"
if ldd "$ROOT/usr/$BINDIR/ctb-host" "$ROOT/usr/$MODULEDIR/PKG_CTB10000.so" | grep -F "$BUILD/"; then
    fail "an installed binary loads a library from the build tree"
fi

echo "== installed ctb-server --init-db, then a health probe"
DB=$WORK/ctb.sqlite
"$ROOT/usr/$BINDIR/ctb-server" --init-db "$DB" --demo
ctb_start_server "$WORK/server.log" "$ROOT/usr/$BINDIR/ctb-server" --db "$DB"
exec 3<>"/dev/tcp/127.0.0.1/$CTB_SERVER_PORT"
printf 'GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&3
answer=$(cat <&3)
exec 3<&-
head -n1 <<<"$answer" | grep -q "^HTTP/1.1 200" || fail "health: $answer"
grep -qE '"ok": *true' <<<"$answer" || fail "health: $answer"
echo "health: $(tail -n1 <<<"$answer")"

echo "== installed ctb-host finds the installed module"
env -u CTB_MODULE QT_QPA_PLATFORM=offscreen "$ROOT/usr/$BINDIR/ctb-host" --db "$DB" \
    --server "127.0.0.1:$CTB_SERVER_PORT" --company 01 --user DEMO --screenshot "$WORK/host.png" \
    >"$WORK/host.log" 2>&1 || { cat "$WORK/host.log"; fail "installed ctb-host"; }
[ -s "$WORK/host.png" ] || fail "no screenshot"
ctb_stop_server

echo "== installed ctb-uiscript runs a UI script"
bash "$SOURCE/tests/scripts/run_script.sh" "$ROOT/usr/$BINDIR/ctb-server" "$ROOT/usr/$BINDIR/ctb-uiscript" \
    "$SOURCE/tests/scripts/open_screen.ui"
echo "package installs and runs"
