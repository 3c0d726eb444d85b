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
ctest --output-on-failure -j "$jobs" --timeout 300
