#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the installable Debian package from the CMake install rules: build-package/pamerol_<version>_amd64.deb.
# Install it with: sudo apt-get install ./build-package/pamerol_*_amd64.deb
# The programs are built with Debian's hardening flags as dpkg-buildflags gives them (with every hardening
# feature on: fortified functions, stack protector, read-only relocations bound at start). JOBS sets how
# many compilations run at once (default: one per processor).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
# Given on every run, so that a folder configured earlier without them takes them too.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPAMEROL_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build build-package -j "${JOBS:-$(nproc)}" >/dev/null
(cd build-package && cpack -G DEB >/dev/null)
ls build-package/pamerol_*_amd64.deb
