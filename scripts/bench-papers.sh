#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the papers of the real window under Xvfb, from the key that prints ("Yazdır") until the filled paper
# is painted on screen: the first paper of the day (the office the program started in the background, on a
# profile of earlier days), then the next ones, then a paper after the clerk has closed the others with
# Ctrl+W. Prints one line per paper and checks that the office ends with the program.
# Usage: scripts/bench-papers.sh [build folder] [folder for the painted papers]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shots=${2:-}
probe="$build/bin/bench_paper_probe"
[ -x "$probe" ] || { echo "$probe is missing: build with the benchmarks"; exit 2; }

run=$(mktemp -d)
export HOME=$run/home XDG_CONFIG_HOME=$run/home/.config
mkdir -p "$HOME"
for n in $(shuf -i 100-899 -n 50); do [ -e "/tmp/.X$n-lock" ] || break; done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    pkill -f "office-profile.*$run" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null
    rm -rf "$run"
}
trap cleanup EXIT
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
sleep 0.5
cp "$build/bin/pamerol" "$build/bin/bilgi.html" "$build/bin/yasal-degerler.csv" "$run/"
cp "$build"/bin/*.xls "$run/"
cp "$build/bin/Pmrl.ini" "$run/" 2>/dev/null || cp sheet/Pmrl.ini "$run/"

key() { xdotool key --delay 30 "$@"; sleep 0.15; }
text() { xdotool type --delay 20 "$1"; sleep 0.1; }
office_running() { pgrep -f "soffice.*$run" >/dev/null; }

start_program() {
    "$run/pamerol" >/dev/null 2>&1 &
    app=$!
    window=$(xdotool search --sync --onlyvisible --name "Kıdem ve İhbar Tazminatı Hesabı" | head -1)
    xdotool windowactivate --sync "$window"
    sleep 0.3
}

# The office's profile as on any day but the first: made by a first start of the program.
start_program
for _ in $(seq 300); do office_running && break; sleep 0.1; done
sleep 3
kill "$app"; wait "$app" 2>/dev/null || true
for _ in $(seq 100); do office_running || break; sleep 0.1; done

start_program
# A case along the Enter chain (entry, exit, wage), the employee's name on "Personel".
text 15032004; key Return
text 14092019; key Return
key Return Return Return
text 12000; key Return Return Return
key Return
sleep 0.5
key Return
xdotool windowactivate --sync "$window"
key alt+p
text "Ayşe Yılmaz"
sleep 3 # the clerk's typing: the office started with the program is up by now
key alt+d
dialog=$(xdotool search --sync --onlyvisible --name "Kıdem İhbar Dökümleri" | head -1)

paper() { # title, keys that choose it in the dialog, label
    xdotool windowactivate --sync "$dialog"
    sleep 0.3
    [ -n "$2" ] && key $2
    sleep 0.5
    local out
    out=$("$probe" --name "$1 – Ayşe Yılmaz" --after "xdotool key Return" 2>/dev/null \
        ${shots:+--save "$shots/$3.png"})
    echo "$3: $out"
}
[ -n "$shots" ] && mkdir -p "$shots"
paper "Kıdem Bordrosu" "" "1 first paper (Kıdem Bordrosu)"
paper "İhbar Bordrosu" "Down" "2 next paper (İhbar Bordrosu)"
paper "İbraname" "Down" "3 next paper (İbraname)"
paper "Hesap Açıklaması" "Down" "4 next paper (Hesap Açıklaması)"
# The clerk closes every paper with Ctrl+W: the office stays up for the next one.
for title in "Hesap Açıklaması" "İbraname" "İhbar Bordrosu" "Kıdem Bordrosu"; do
    w=$(xdotool search --onlyvisible --name "$title – Ayşe Yılmaz" | head -1)
    [ -n "$w" ] && xdotool windowactivate --sync "$w" && key ctrl+w
done
sleep 1
office_running && echo "office after the papers were closed: running" ||
    echo "office after the papers were closed: ENDED"
paper "Kıdem Bordrosu" "Up Up Up Up" "5 paper after all were closed (Kıdem Bordrosu)"
w=$(xdotool search --onlyvisible --name "Kıdem Bordrosu – Ayşe Yılmaz" | head -1)
[ -n "$w" ] && xdotool windowactivate --sync "$w" && key ctrl+w
xdotool windowactivate --sync "$dialog"; key Escape
kill "$app"; wait "$app" 2>/dev/null || true
app=""
for _ in $(seq 100); do office_running || break; sleep 0.1; done
office_running && echo "office after the program ended: STILL RUNNING" ||
    echo "office after the program ended: ended"
