#!/usr/bin/env bash
# Each platform class, static and exception type exists once in a process: the binaries that use the
# platform load it as the one shared library and carry no copy of it.
#
#   check_one_platform.sh PLATFORM_LIBRARY BINARY...
#
# For each BINARY (shared library, module or executable), with nm (nm -D when it is stripped) and ldd:
#   - it defines no vtable, VTT or type information of a platform class;
#   - it defines none of the functions and data the platform library exports;
#   - it defines no data object (a static) in a platform namespace, but for constants (read-only once
#     relocated: a copy of one cannot diverge);
#   - ldd resolves exactly one platform library for it, the same file as PLATFORM_LIBRARY.
# Inline functions may be emitted in every binary (hidden, identical): they are not copies of the
# platform's code and have no state. Platform namespaces: ctb:: and its namespaces other than those
# of the layers above it (hostlib, ctb10000, server, qt, uiscript, host, db).
set -euo pipefail
PLATFORM=$1
shift
platform_file=$(readlink -f "$PLATFORM")
platform_soname=$(objdump -p "$PLATFORM" | awk '$1 == "SONAME" { print $2 }')
[ -n "$platform_soname" ] || { echo "no SONAME in $PLATFORM"; exit 2; }

# A demangled name (after "vtable for " and the like) that belongs to the platform.
platform_name='^ctb::([A-Za-z_][A-Za-z_0-9]*)'
above='^(hostlib|ctb10000|server|qt|uiscript|host|db)$'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
nm -D --defined-only "$PLATFORM" | awk '{ print $NF }' | sort -u >"$work/exported"

failures=0
report() {
    echo "$1"
    failures=$((failures + 1))
}

for binary in "$@"; do
    name=$(basename "$binary")
    # A stripped binary (an installed one) keeps its dynamic symbols only: check those.
    table=()
    # (grep without -q: an early exit would fail the pipeline on readelf's broken pipe)
    if ! readelf -S --wide "$binary" | grep ' \.symtab ' >/dev/null; then
        table=(-D)
    fi
    # The section of each data symbol: a constant (read-only once relocated) may be copied harmlessly.
    objdump -t "${table[@]/-D/-T}" "$binary" 2>/dev/null |
        awk 'NF >= 5 { off = ($(NF-1) ~ /^\./) ? 3 : 2; print $NF "\t" $(NF-off) }' | sort -u >"$work/sections"
    # type, mangled name, demangled name: one line each, tab-separated
    paste <(nm -p "${table[@]}" --defined-only "$binary" | awk '{ print $(NF-1) "\t" $NF }') \
          <(nm -p -C "${table[@]}" --defined-only "$binary" | sed -E 's/^[0-9a-f]* *[A-Za-z] //') >"$work/symbols"
    found=0
    while IFS=$'\t' read -r type mangled demangled; do
        subject=$demangled
        kind=""
        for prefix in "vtable for " "construction vtable for " "VTT for " "typeinfo for " "typeinfo name for "; do
            if [[ $subject == "$prefix"* ]]; then
                kind=${prefix% for }
                subject=${subject#"$prefix"}
                break
            fi
        done
        [[ $subject =~ $platform_name ]] || continue
        [[ ${BASH_REMATCH[1]} =~ $above ]] && continue
        if [ -n "$kind" ]; then
            report "$name: copy of the platform: $kind for $subject"
            found=1
        elif grep -qxF -- "$mangled" "$work/exported"; then
            report "$name: copy of the platform: defines $demangled (exported by $(basename "$PLATFORM"))"
            found=1
        elif [[ $type =~ ^[bBdDgGsSuVv]$ ]]; then
            section=$(awk -F'\t' -v m="$mangled" '$1 == m { print $2; exit }' "$work/sections")
            if [[ $section != .rodata* && $section != .data.rel.ro* ]]; then
                report "$name: copy of the platform: static data $demangled (${section:-section unknown})"
                found=1
            fi
        fi
    done <"$work/symbols"

    resolved=$(ldd "$binary" | awk -v so="$platform_soname" '$1 == so { print $3 }')
    count=$(printf '%s' "$resolved" | grep -c . || true)
    if [ "$count" != 1 ]; then
        report "$name: ldd finds $count copies of $platform_soname: ${resolved:-none}"
    elif [ "$(readlink -f "$resolved")" != "$platform_file" ]; then
        report "$name: loads $resolved, not $PLATFORM"
    fi
    if ldd "$binary" | grep "not found" >/dev/null; then
        report "$name: $(ldd "$binary" | grep "not found" | tr '\n' ' ')"
    fi
    [ "$found" = 0 ] && echo "$name: no copy of the platform${table:+ (dynamic symbols: stripped)}; loads $(readlink -f "$resolved")"
done
if [ "$failures" != 0 ]; then
    echo "$failures problem(s)"
    exit 1
fi
