#!/usr/bin/env bash
# Builds the programs and tests with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
# in a build tree of their own and runs the whole test suite under them.
# Any sanitizer report fails the run. Qt's own one-time allocations that live until the process
# ends are listed in tools/lsan-qt.supp.
# Usage: tools/sanitize.sh [BUILD_DIR]   (default build-asan)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build-asan}"
case "$build" in /*) ;; *) build="$here/$build" ;; esac
exec 9>/tmp/tarquel-build.lock
flock 9
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARQUEL_SANITIZE=ON \
        -DTARQUEL_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
exec 9>&-
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$here/tools/lsan-qt.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$build"
ctest --output-on-failure --no-label-summary -j "$(nproc)" --timeout 900
