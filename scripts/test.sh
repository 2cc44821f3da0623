#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
xvfb-run -a -s '-screen 0 1600x1000x24' ctest --test-dir build --output-on-failure -j2 --timeout 600
