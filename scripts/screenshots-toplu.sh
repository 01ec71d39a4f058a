#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshots of "Toplu Hesap" with the real program and its companion under Xvfb:
# the dialog with the table's preview, during a run that fills every employee's severance payroll as a
# PDF, and its summary after "İptal". The example table is repeated fifty times (200 employees), so that
# the run lasts long enough to be caught midway. Usage: scripts/screenshots-toplu.sh [build dir] [output dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/screenshots}
mkdir -p "$out"

# The program, its companion and their files in a folder of their own: the settings, the archive and
# the results of the run stay there.
run=$(mktemp -d /tmp/muhasebe.XXXXXX)
cp "$build/bin/pamerol" "$build/bin/pamerol-hesap" "$build/bin/bilgi.html" "$build/bin/yasal-degerler.csv" \
    "$build/bin/Velkara.xls" "$build/bin/Ibraname.xls" "$run/"
cp "$build/bin/Pmrl.ini" "$run/" 2>/dev/null || cp sheet/Pmrl.ini "$run/"
{
    head -1 docs/ornek-personel-tablosu.csv
    for _ in $(seq 50); do tail -n +2 docs/ornek-personel-tablosu.csv; done
} >"$run/personel.csv"

for n in $(shuf -i 100-899 -n 50); do [ -e "/tmp/.X$n-lock" ] || break; done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
# A window manager, so that access keys reach the active window after a dialog closes.
openbox >/dev/null 2>&1 &
wm=$!
# Ready once it lists what it supports on the root window; a window mapped before that may stay unmapped.
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && break
    sleep 0.05
done
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    kill "$wm" "$xvfb" 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT

# The id of the visible window with this title, waiting for it; a search fails now and then while the
# window manager starts, so it is tried again.
find_window() {
    local id=""
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null) && id=${id%%$'\n'*} && [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "no window \"$1\"" >&2; return 1; }
    echo "$id"
}

"$run/pamerol" &
app=$!
window=$(find_window "Kıdem ve İhbar Tazminatı Hesabı")
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.3

key() { xdotool key --delay 40 "$@"; sleep 0.2; }
shot() { sleep 0.3; import -window "$1" "$out/$2"; echo "$out/$2"; }

key alt+u # "Toplu Hesap"
dialog=$(find_window "^Toplu Hesap$")
key alt+s # "Tablo Seç…": the file's whole path into the file dialog's name box
find_window "Personel Tablosunu Seç" >/dev/null
sleep 0.3
xdotool type --delay 10 "$run/personel.csv"
key Return
sleep 1.5 # the preview
# Into the table and to its last column, the one that matches nothing.
xdotool mousemove --window "$dialog" 300 160 click 1
key End
shot "$dialog" toplu-onizleme.png

key alt+m # every employee's "Kıdem Bordrosu" as a PDF
key alt+b # "Başlat"
sleep 8
shot "$dialog" toplu-hesap.png
key alt+p # "İptal": the rows done are written with their totals
for _ in $(seq 100); do [ -e "$run/personel-sonuc.xlsx" ] && break; sleep 0.1; done
sleep 1
shot "$dialog" toplu-ozet.png
