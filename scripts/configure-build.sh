#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures the development build folder build/ with the one set of settings that scripts/run.sh and
# scripts/test.sh share, so that running one after the other never reconfigures or rebuilds what the
# other built. The settings are given in full, so that a folder configured otherwise earlier is set back.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPAMEROL_BENCH=ON \
    -DPAMEROL_SANITIZE=OFF -DPAMEROL_UI=ON -DPAMEROL_OFFICE=ON -DPAMEROL_FUZZ=OFF >/dev/null
