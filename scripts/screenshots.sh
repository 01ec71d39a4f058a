#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshots of the real program under Xvfb: a calculated case on every tab of the
# sheet, the result box, the printout dialog warning of the previous employee's particulars, and the help
# page. Usage: scripts/screenshots.sh [build dir] [output dir] [scale]
# The default is a 1366×768 screen at 100 %; a scale of 1.5 takes them on a 1366×900 screen at 150 %.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/screenshots}
scale=${3:-1}
mkdir -p "$out"
screen=1366x768x24
if [ "$scale" != 1 ]; then
    screen=1366x900x24
    export QT_SCALE_FACTOR=$scale
fi

# The sample settings beside a copy of the program, so that the shots never touch a real Pmrl.ini.
run=$(mktemp -d)
# A display of its own, at a number other sessions on the machine are unlikely to take too.
for n in $(shuf -i 100-899 -n 50); do [ -e "/tmp/.X$n-lock" ] || break; done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
cp "$build/bin/pamerol" "$build/bin/bilgi.html" "$build/bin/yasal-degerler.csv" "$run/"
cp "$build/bin/Pmrl.ini" "$run/" 2>/dev/null || cp sheet/Pmrl.ini "$run/"
"$run/pamerol" &
app=$!

window=$(xdotool search --sync --onlyvisible --name "Kıdem ve İhbar Tazminatı Hesabı" | head -1)
xdotool windowfocus --sync "$window"
sleep 0.3

key() { xdotool key --delay 40 "$@"; sleep 0.15; }
text() { xdotool type --delay 30 "$1"; sleep 0.1; }
shot() { sleep 0.3; import -window "$1" "$out/$2"; echo "$out/$2"; }

# The case: entry 15.03.2004, exit 14.09.2007, wage 2.000,00 plus 150,00, leave pay 350,00, along the
# Enter chain; the last Enter on "Hesapla" calculates.
text 15032004; key Return
text 14092007; key Return
key Return Return Return
text 2000; key Return
text 150; key Return
text 350; key Return
key Return
sleep 0.5
box=$(xdotool search --sync --onlyvisible --name "Kıdem ve İhbar Tazminatı Hesabı" | grep -v "^$window$" | head -1)
shot "$box" sonuc-kutusu.png
key Return
xdotool windowfocus --sync "$window"

# Each tab by its access key, which also puts the focus in the tab's first box.
for tab in kidem:m ihbar:a sabitler:s isveren:v personel:p izin:z guncelleme:c; do
    name=${tab%%:*}
    key "alt+${tab##*:}"
    if [ "$name" = personel ]; then # the employee's name, Turkish letters and all
        text "Ayşe Yılmaz Gündüz"
    fi
    shot "$window" "sayfa-$name.png"
done

# "Nasıl Hesaplandı?" (Alt+E): the statement of the results on screen.
key alt+e
statement=$(xdotool search --sync --onlyvisible --name "^Hesap Açıklaması" | head -1)
shot "$statement" hesap-aciklamasi.png
key Escape
xdotool windowfocus --sync "$window"

# The next employee's case after "Boşalt" (Alt+B), with the previous employee's particulars still on the
# "Personel" tab: the printout dialog (Alt+D is "&Dökümler") warns whose particulars it would print.
key alt+b # the focus goes to the entry date
text 01022005; key Return
text 31122007; key Return
key Return Return Return
text 2500; key Return Return Return
key Return
sleep 0.5
key Return
xdotool windowfocus --sync "$window"
key alt+d
dialog=$(xdotool search --sync --onlyvisible --name "Kıdem İhbar Dökümleri" | head -1)
shot "$dialog" dokumler.png
key Escape
# The case is calculated but neither printed nor stored, so closing would ask: the copy simply ends.
kill "$app" 2>/dev/null || true
wait "$app" || true
app=""

# The help page that F1 opens, as a browser shows it (when one is installed).
browser=$(command -v firefox-esr || command -v firefox || true)
if [ -n "$browser" ]; then
    width=$(awk -v s="$scale" 'BEGIN { printf "%d", 1000 * s }')
    HOME="$run" "$browser" --headless --window-size="$width,1800" --screenshot "$out/yardim.png" \
        "file://$run/bilgi.html" >/dev/null 2>&1 || true
    echo "$out/yardim.png"
fi
