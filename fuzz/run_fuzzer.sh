#!/usr/bin/env bash
# Runs one fuzz target for a bounded time: run_fuzzer.sh <binary> <seed corpus> <work dir>.
# The seeds are only read; what the run finds goes to the work dir, and a
# failing input to $VELMI_ARTIFACTS/fuzz (or the work dir), to be replayed
# with `<binary> <file>`. VELMI_FUZZ_SECONDS (default 60) bounds the run; 0
# only replays the seeds.
set -euo pipefail
binary="$1" seeds="$2" work="$3"
seconds="${VELMI_FUZZ_SECONDS:-60}"
crashes="${VELMI_ARTIFACTS:+$VELMI_ARTIFACTS/fuzz}"
crashes="${crashes:-$work/crashes}"
mkdir -p "$work/corpus" "$crashes"

# Clean reports, and a crash must not wait for anything.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

if [ "$seconds" -eq 0 ]; then
    exec "$binary" -runs=0 "$seeds"
fi
# Single inputs that take a second are a hang in these small cores.
exec "$binary" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$crashes/$(basename "$binary")-" "$work/corpus" "$seeds"
