#!/usr/bin/env bash
# Installs what is missing, builds, and starts the modeller on a bundled example scene.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Knotwork needs a display, and none was found (DISPLAY is not set)."
    echo "Start it from a desktop session, or under a virtual X server:"
    echo "    xvfb-run -a -s '-screen 0 1600x1000x24' bash scripts/run.sh"
    exit 1
fi

example=data/examples/sphere.nbs
if [ -f "$example" ]; then
    exec build/bin/knotwork "$example"
fi
exec build/bin/knotwork
