#!/usr/bin/env bash
# Configures (when needed) and builds one build tree. Builds on this machine run one at a time:
# the lock makes a second build wait for the first.
# Usage: tools/build.sh BUILD_DIR [cmake --build options, e.g. --target NAME]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?build directory}"
shift
case "$build" in /*) ;; *) build="$here/$build" ;; esac
exec 9>/tmp/tarquel-build.lock
flock 9
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${TARQUEL_BUILD_TYPE:-Debug}" ${TARQUEL_CMAKE_ARGS:-} >/dev/null
fi
cmake --build "$build" -j 2 "$@"
