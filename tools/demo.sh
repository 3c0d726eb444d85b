#!/usr/bin/env bash
# Installs what is needed, builds, and starts Tarquel connected to the simulated unit on a
# pseudo-terminal. Without a display it runs under a virtual one, saves screenshots of the splash
# and main windows, prints where they are, and exits.
# TARQUEL_UNIT_OPTIONS adds options for the simulated unit (see README).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/install-deps.sh
build="${TARQUEL_DEMO_BUILD:-$root/build-demo}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARQUEL_BUILD_TESTS=OFF \
    -DTARQUEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target tarquel tarquel-unitsim tarquel-cli

link="$(mktemp -u /tmp/tarquel-unit.XXXXXX)"
log="$(mktemp /tmp/tarquel-unitsim.XXXXXX.log)"
# A unit at 19200 baud (start-up finds the rate), pointing north-east, with some hard iron.
# shellcheck disable=SC2086
"$build/src/unitsim/tarquel-unitsim" --baud 19200 --heading 37 --tilt 1.5 -2 --hard-iron 30 -20 0 \
    --link "$link" ${TARQUEL_UNIT_OPTIONS:-} >"$log" 2>&1 </dev/null &
unit=$!
trap 'kill "$unit" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "$link" ] && break
    sleep 0.1
done
[ -e "$link" ] || { cat "$log"; echo "the simulated unit did not start" >&2; exit 1; }
echo "Simulated unit on $(head -n 1 "$log" | sed 's/^tarquel-unitsim: //') (port 1 = $link)"
export TARQUEL_PORTS="$link"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$build/src/app/tarquel"
else
    shots="${TARQUEL_SCREENSHOT_DIR:-/tmp/tarquel-screenshots}"
    echo "No display: running under a virtual display and saving screenshots in $shots"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/src/app/tarquel" --screenshot-dir "$shots"
fi
