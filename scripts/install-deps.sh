#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that the build, the tests and the program need, when some are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config file
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libsqlite3-dev zlib1g-dev
    qt6-base-dev qt6-svg-dev qt6-translations-l10n
    libreoffice-calc libreoffice-dev libreoffice-l10n-tr
    clang-14 libclang-rt-14-dev
    xvfb x11-apps x11-utils xdotool imagemagick openbox
    fonts-dejavu-core fonts-liberation2 locales
    dpkg-dev lintian desktop-file-utils appstream xdg-utils
    poppler-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
# The office with a window must come with (or before) its SDK, which alone would pull a windowless one.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
