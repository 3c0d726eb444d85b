#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the whole test suite with ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/install-deps.sh
build="${TARQUEL_TEST_BUILD:-$root/build-test}"
jobs="$(nproc)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARQUEL_SKIP_INCOMPLETE=OFF >/dev/null
cmake --build "$build" -j "$jobs"
cd "$build"
set +e
ctest --output-on-failure --no-label-summary -j "$jobs" --timeout 300 2>&1 | tee ctest.log
status=${PIPESTATUS[0]}
set -e
# The run ends with ctest's summary line ("100% tests passed, 0 tests failed out of N").
summary="$(grep -E '^[0-9]+% tests passed' ctest.log | tail -n 1)"
if [ -n "$summary" ] && [ "$(grep -v '^[[:space:]]*$' ctest.log | tail -n 1)" != "$summary" ]; then
    echo
    echo "$summary"
fi
exit "$status"
