#!/usr/bin/env bash
# Builds the Debian package knotwork_<version>_amd64.deb into build-package/, or into the build folder
# given as the first argument, which is then used as it is configured (the test script passes build/).
set -euo pipefail
cd "$(dirname "$0")/.."
# The folders the install makes take the umask (CMake applies it even to its default folder permissions),
# and the package must hold them as 755.
umask 022
bash scripts/setup.sh
dir=${1:-build-package}
if [ ! -f "$dir/CMakeCache.txt" ]; then
    # The program alone (cpack builds every target of the folder first), with Debian's own build flags,
    # hardening included, as its package tools would use.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
        -DKNOTWORK_BUILD_TESTS=OFF -DKNOTWORK_BUILD_BENCH=OFF
fi
cmake --build "$dir"
rm -f "$dir"/knotwork_*.deb
(cd "$dir" && cpack -G DEB)
ls "$dir"/knotwork_*.deb
