#!/usr/bin/env bash
# The application's CPU share while it shows live data, against the simulated unit on a
# pseudo-terminal, headless, one case per line with its goal. Measure on a Release build:
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build-release
#   bash bench/live_cpu.sh build-release [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-release}"
seconds="${2:-20}"

# Runs the program against a unit started with the given options; prints the measured share.
measure() {
    local link log
    link="$(mktemp -u /tmp/tarquel-bench.XXXXXX)"
    log="$(mktemp)"
    "$build/src/unitsim/tarquel-unitsim" --link "$link" --noise 1 "$@" >/dev/null 2>&1 </dev/null &
    local unit=$!
    for _ in $(seq 50); do
        [ -e "$link" ] && break
        sleep 0.1
    done
    TARQUEL_PORTS="$link" QT_QPA_PLATFORM=offscreen "$build/src/app/tarquel" \
        --measure-ms "$((seconds * 1000))" >"$log" 2>/dev/null || true
    kill "$unit" 2>/dev/null || true
    wait "$unit" 2>/dev/null || true
    sed -n 's/.*(\([0-9.]*\) % of a core).*/\1/p' "$log" | tail -n 1
    rm -f "$log"
}

printf '%-46s %10s %8s\n' "Case" "% of core" "goal"
row() {
    local name="$1" goal="$2"
    shift 2
    printf '%-46s %10s %8s\n' "$name" "$(measure "$@")" "$goal"
}
row "38400 baud, fastest frames, decimal" "1.0" --baud 38400 --fastest
row "38400 baud, fastest frames, binary" "1.0" --baud 38400 --fastest --format binary
row "38400 baud, the unit's own rate (23.7/s)" "1.0" --baud 38400
row "9600 baud, 10 frames a second, decimal" "0.5" --baud 9600 --rate 10
