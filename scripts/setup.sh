#!/usr/bin/env bash
# Installs the Debian 12 packages to build, run, test, fuzz and package Knotwork, skipping those present.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins libqt6opengl6-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    xvfb xauth libxtst6
    googletest libgtest-dev libbenchmark-dev
    fonts-dejavu-core
    clang libclang-rt-14-dev llvm clang-format
    libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev libocct-data-exchange-dev
    dpkg-dev file lintian desktop-file-utils appstream shared-mime-info man-db
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
