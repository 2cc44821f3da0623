#!/usr/bin/env bash
# Installs the Debian 12 packages Knotwork needs to build, run, test and fuzz, skipping those present.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins libqt6opengl6-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    xvfb xauth
    googletest libgtest-dev libbenchmark-dev
    fonts-dejavu-core
    clang libclang-rt-14-dev llvm clang-format
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Run as root (or with sudo) to install the missing packages." >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
