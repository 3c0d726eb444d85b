#!/usr/bin/env bash
# The application's resident memory over a long stream (default ten minutes) from the simulated
# unit at 38400 baud, fastest frames: printed once a minute, then the peak. Goal: at most 80 MB
# resident, no growth after the first minute.
#   bash bench/memory_soak.sh build-release [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-release}"
seconds="${2:-600}"
link="$(mktemp -u /tmp/tarquel-soak.XXXXXX)"
"$build/src/unitsim/tarquel-unitsim" --baud 38400 --fastest --link "$link" >/dev/null 2>&1 </dev/null &
unit=$!
trap 'kill "$unit" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "$link" ] && break
    sleep 0.1
done
TARQUEL_PORTS="$link" QT_QPA_PLATFORM=offscreen "$build/src/app/tarquel" \
    --measure-ms "$((seconds * 1000))" 2>/dev/null | grep -E "resident|Measured"
echo "Goal: peak at most 80 MB, no growth after the first minute."
