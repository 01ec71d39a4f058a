#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the installable Debian package from the CMake install rules: build-package/pamerol_<version>_amd64.deb.
# Install it with: sudo apt-get install ./build-package/pamerol_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPAMEROL_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
ls build-package/pamerol_*_amd64.deb
