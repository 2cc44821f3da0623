#!/usr/bin/env bash
# Makes docs/screenshot.png: the whole window on an example scene, on a virtual 1600 x 1000 screen.
#
#   bash tools/take_screenshot.sh [build folder] [output]      (defaults: build, docs/screenshot.png)
#
# Needs xvfb-run, and import from ImageMagick (Debian package imagemagick) to read the screen.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--on-screen" ]; then
    # Runs inside the virtual X server: start the modeller, wait until its window is mapped and has
    # drawn, read the root window, stop the modeller.
    program=$2 scene=$3 output=$4
    "$program" "$scene" &
    pid=$!
    for _ in $(seq 1 100); do
        if xwininfo -root -tree 2>/dev/null | grep -q '("knotwork" "knotwork")'; then
            break
        fi
        sleep 0.1
    done
    sleep "${KNOTWORK_SHOT_DELAY:-2}"
    import -window root "$output"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    exit 0
fi

build=${1:-build}
output=${2:-docs/screenshot.png}
program=$build/bin/knotwork
scene=data/examples/sphere.nbs

for tool in xvfb-run import; do
    if ! command -v "$tool" > /dev/null; then
        echo "take_screenshot.sh needs $tool (Debian packages xvfb and imagemagick)." >&2
        exit 1
    fi
done
if [ ! -x "$program" ]; then
    cmake -S . -B "$build" -G Ninja > /dev/null
    cmake --build "$build" --target knotwork
fi
mkdir -p "$(dirname "$output")"
xvfb-run -a -s '-screen 0 1600x1000x24' bash "$0" --on-screen "$program" "$scene" "$output"
echo "wrote $output"
