#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each one for a bounded time on the corpus kept in fuzz/corpus
# (read only; what a run finds goes to a scratch folder, and a crash leaves its input there and fails).
#
#   fuzz/run.sh [SECONDS_PER_TARGET] [BUILD_DIR]       (defaults: 20, build-fuzz)
# To grow the corpus: run longer, then minimise into the repository:
#   build-fuzz/fuzz_wire -merge=1 fuzz/corpus/wire /tmp/found-wire
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
SECONDS_EACH=${1:-20}
BUILD=${2:-$HERE/../build-fuzz}
if [ ! -f "$BUILD/build.ninja" ]; then
    CXX=clang++ cmake -S "$HERE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD" -j2 >"$BUILD/build.log" 2>&1 || { tail -30 "$BUILD/build.log"; exit 1; }
SCRATCH=$(mktemp -d /tmp/ctb-fuzz.XXXXXX)
trap 'rm -rf "$SCRATCH"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for target in wire key_list filter; do
    mkdir -p "$SCRATCH/$target"
    log=$SCRATCH/$target.log
    if ! "$BUILD/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$SCRATCH/$target-" "$SCRATCH/$target" "$HERE/corpus/$target" \
        >"$log" 2>&1; then
        echo "fuzz_$target FAILED:"; tail -40 "$log"
        for a in "$SCRATCH/$target"-*; do [ -f "$a" ] && { echo "input:"; base64 "$a" | head -20; }; done
        status=1
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    echo "fuzz_$target: $runs executions in ${SECONDS_EACH} s, $cov, corpus $(ls "$HERE/corpus/$target" | wc -l) seeds + $(ls "$SCRATCH/$target" | wc -l) found"
done
exit $status
