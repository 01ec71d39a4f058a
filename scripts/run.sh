#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program and starts it. It shares build/ and its settings with
# scripts/test.sh, and builds only what the program needs (the tests are left for scripts/test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/configure-build.sh
cmake --build build --target pamerol pamerol-hesap pamerol_templates pamerol_sample_ini
exec build/bin/pamerol "$@"
