#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in a build tree of their own and runs each for
# SECONDS on a copy of its seed corpus (fuzz/corpus/NAME). Fails on any crash, leak, timeout or
# sanitizer report; the reproducer is kept beside the target as NAME-crash-..., and the run's
# output as NAME.log.
# Usage: tools/fuzz.sh BUILD_DIR SECONDS [TARGET...]   (no TARGET: every fuzz target)
# Environment: TARQUEL_FUZZ_MAX_LEN (longest input tried, default 8192); TARQUEL_FUZZ_RUNS (stop
# after this many inputs instead, for a long campaign: SECONDS is then ignored).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?build directory}"
seconds="${2:?seconds per target}"
shift 2
case "$build" in /*) ;; *) build="$here/$build" ;; esac

# Configure and build under the same lock as tools/build.sh: builds run one at a time.
exec 9>/tmp/tarquel-build.lock
flock 9
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTARQUEL_FUZZ=ON -DTARQUEL_BUILD_TESTS=OFF -DTARQUEL_BUILD_BENCHMARKS=OFF >/dev/null
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    cmake --build "$build" -j 2 --target tarquel_fuzz
    mapfile -t targets < <(grep -v '^$' "$build/fuzz/targets.txt")
else
    cmake --build "$build" -j 2 --target "${targets[@]}"
fi
exec 9>&-

# No allocation stacks in the reports: recording them costs more than the target itself once
# millions of inputs have filled the stack depot. A report's reproducer is kept; run it again with
# ASAN_OPTIONS=malloc_context_size=30 to see where the memory came from.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:malloc_context_size=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
status=0
for target in "${targets[@]}"; do
    work="$(mktemp -d)"
    if [ -d "$here/fuzz/corpus/$target" ]; then
        cp -r "$here/fuzz/corpus/$target/." "$work/"
    fi
    log="$build/fuzz/$target.log"
    if [ -n "${TARQUEL_FUZZ_RUNS:-}" ]; then
        # ASan's allocator grows slowly over millions of inputs: room beyond the 2 GB default.
        limit=(-runs="$TARQUEL_FUZZ_RUNS" -rss_limit_mb=6144)
    else
        limit=(-max_total_time="$seconds")
    fi
    start=$SECONDS
    if "$build/fuzz/$target" "${limit[@]}" -print_final_stats=1 \
        -max_len="${TARQUEL_FUZZ_MAX_LEN:-8192}" -artifact_prefix="$build/fuzz/$target-" \
        "$work" >"$log" 2>&1 &&
        ! grep -qE 'ERROR: (Address|Leak|Undefined)Sanitizer|runtime error:' "$log"; then
        runs="$(awk '/stat::number_of_executed_units/ {print $2}' "$log")"
        echo "$target: ${runs:-?} inputs in $((SECONDS - start)) s: no crash, leak or sanitizer report"
    else
        echo "$target: FAILED (output in $log)"
        tail -n 40 "$log"
        status=1
    fi
    rm -rf "$work"
done
exit $status
