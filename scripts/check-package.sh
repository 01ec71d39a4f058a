#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the package, installs it on this machine and checks the installed program: the companion computes
# the README's worked example, the window starts with its settings in the per-user folder, and the
# desktop entry, the AppStream metadata and the package pass their validators without errors, the programs
# are hardened, and lintian --pedantic reports nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

deb=$(scripts/package.sh | tail -1)
echo "-- package: $deb ($(du -k "$deb" | cut -f1) KiB)"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "./$deb" >/dev/null
echo "-- installed size: $(dpkg-query -W -f='${Installed-Size}' pamerol) KiB"

out=$(/usr/bin/pamerol-hesap GTarih=15.03.2004 CTarih=14.09.2007 ESUCRET=2.000,00 TAV=1960,69 KGN=30 \
    DVOR=6,6 DL4=56 O1=15 VD1=7500 O2=20 VD2=19000 O3=27 VD3=43000 O4=35 VD4=999999999 O5=35 VD5=999999999)
grep -q '"NET":"6.817,13"' <<<"$out" || { echo "installed pamerol-hesap: wrong result: $out"; exit 1; }
# The same case with the figures in force on its exit date, from the installed table.
out=$(/usr/bin/pamerol-hesap --yasal-degerler GTarih=15.03.2004 CTarih=14.09.2007 ESUCRET=2.000,00)
grep -q '"NET":"6.958,00"' <<<"$out" || { echo "installed pamerol-hesap --yasal-degerler: wrong result: $out"; exit 1; }
/usr/bin/pamerol-hesap --version | grep -q "$(dpkg-query -W -f='${Version}' pamerol)"

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
status=0
HOME=$home XDG_CONFIG_HOME= XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/pamerol || status=$?
[ "$status" -eq 124 ] || { echo "installed window ended early with status $status"; exit 1; }
[ -f "$home/.config/pamerol/Pmrl.ini" ] || { echo "no per-user Pmrl.ini in $home/.config/pamerol"; exit 1; }

desktop-file-validate /usr/share/applications/org.pamerol.Pamerol.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.pamerol.Pamerol.metainfo.xml
# The installed programs carry Debian's hardening, and lintian, pedantic tags included, finds nothing to say.
scripts/check-hardening.sh /usr/bin/pamerol /usr/bin/pamerol-hesap
lintian --pedantic --fail-on error,warning,info,pedantic --suppress-tags-from-file /dev/null "$deb"
echo "Package checks passed."
