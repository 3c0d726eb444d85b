#!/usr/bin/env bash
# Runs the application headless against the simulated unit streaming as fast as a 38400-baud line
# allows, for a fixed time, and prints the application's CPU time and peak memory.
# Usage: bench/app_load.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
seconds="${2:-10}"
link="$(mktemp -u /tmp/tarquel-load.XXXXXX)"
"$build/src/unitsim/tarquel-unitsim" --baud 38400 --fastest --link "$link" >/dev/null 2>&1 </dev/null &
unit=$!
trap 'kill "$unit" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "$link" ] && break
    sleep 0.1
done
shots="$(mktemp -d)"
TARQUEL_PORTS="$link" QT_QPA_PLATFORM=offscreen "$build/src/app/tarquel" --screenshot-dir "$shots" \
    --screenshot-delay "$((seconds * 1000))" | grep -v "^Screenshot written"
rm -rf "$shots"
