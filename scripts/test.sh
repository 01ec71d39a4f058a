#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and runs every test: the plain build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Debian package built, installed and checked, and
# the fuzz targets for a minute each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

echo "== layers"
scripts/check-layers.sh

echo "== build and test"
scripts/configure-build.sh # the same folder and settings as scripts/run.sh
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPAMEROL_SANITIZE=ON -DPAMEROL_BENCH=OFF
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== package"
scripts/check-package.sh

echo "== fuzzing"
CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAMEROL_FUZZ=ON \
    -DPAMEROL_UI=OFF -DPAMEROL_OFFICE=OFF -DPAMEROL_BENCH=OFF -DBUILD_TESTING=OFF
cmake --build build-fuzz -j "$jobs"
for fuzzer in build-fuzz/bin/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    echo "-- $fuzzer"
    corpus=$(mktemp -d)
    "$fuzzer" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 "$corpus"
    rm -rf "$corpus"
done
echo "All tests passed."
