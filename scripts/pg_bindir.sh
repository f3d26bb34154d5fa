#!/usr/bin/env bash
# Prints the folder of PostgreSQL's server programs (initdb, pg_ctl; not on PATH on Debian):
# $CTB_PG_BINDIR, `pg_config --bindir`, the newest /usr/lib/postgresql/N/bin, or initdb's folder on PATH.
set -euo pipefail
has_initdb() { [ -n "$1" ] && [ -x "$1/initdb" ]; }
if has_initdb "${CTB_PG_BINDIR:-}"; then echo "$CTB_PG_BINDIR"; exit 0; fi
dir=$(pg_config --bindir 2>/dev/null || true)
if has_initdb "$dir"; then echo "$dir"; exit 0; fi
for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -t/ -k4 -V -r); do
    if has_initdb "$dir"; then echo "$dir"; exit 0; fi
done
if command -v initdb >/dev/null; then dirname "$(command -v initdb)"; exit 0; fi
echo "pg_bindir.sh: no PostgreSQL server programs found (install postgresql, or set CTB_PG_BINDIR)" >&2
exit 1
