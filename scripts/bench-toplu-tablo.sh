#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times --toplu-tablo end to end on a generated table of employees (1,000 rows unless told otherwise),
# with the legal figures of each row's exit date, and reports the time and the peak memory. With papers
# ("kidem,ihbar,ibraname") each row's papers are filled as PDFs too; the peak memory then adds the
# office's own (a process of its own), sampled every half second.
# Usage: scripts/bench-toplu-tablo.sh [build folder] [rows] [.csv|.xlsx|.ods] [papers]
set -euo pipefail
bin="${1:-build}/bin/pamerol-hesap"
rows="${2:-1000}"
kind="${3:-.csv}"
papers="${4:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work/personel.csv" "$rows" <<'PY'
import random, sys
random.seed(7)
with open(sys.argv[1], "w", encoding="utf-8-sig") as f:
    f.write("Adı Soyadı;T.C. Kimlik No;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret;İlave Ücret\n")
    for i in range(int(sys.argv[2])):
        y1 = random.randint(1995, 2024)
        f.write(f"Personel {i + 1};{10000000000 + i};{random.randint(1, 28)}.{random.randint(1, 12)}.{y1};"
                f"{random.randint(1, 28):02d}.{random.randint(1, 6):02d}.2026;"
                f"{random.randint(17000, 150000)},{random.randint(0, 99):02d};{random.choice(['', '1.250,00'])}\n")
PY
extra=()
[ -n "$papers" ] && extra=(--pdf-klasoru "$work/pdf" --dokum "$papers")
start=$(date +%s.%N)
/usr/bin/time -f '%M' -o "$work/mem" "$bin" --toplu-tablo "$work/personel.csv" --cikti "$work/sonuc$kind" \
    "${extra[@]}" > /dev/null &
run=$!
office=0
while kill -0 "$run" 2>/dev/null; do
    # The office of this run: the soffice.bin processes on a temporary profile of the companion's.
    now=$( (ps -C soffice.bin -o rss=,args= || true) | awk '/pamerol-office-/ { s += $1 } END { print s + 0 }')
    [ "$now" -gt "$office" ] && office=$now
    sleep 0.5
done
wait "$run" || true
end=$(date +%s.%N)
made=0
[ -n "$papers" ] && made=$(find "$work/pdf" -name '*.pdf' | wc -l)
python3 -c "import sys; t=float(sys.argv[2])-float(sys.argv[1]); print(f'{sys.argv[3]} employees to a results table ({sys.argv[5]}) in {t:.2f} s, peak memory {int(sys.argv[4])/1024:.0f} MB' + (f'; {sys.argv[7]} PDFs ({sys.argv[8]}), office peak {int(sys.argv[6])/1024:.0f} MB' if sys.argv[8] else ''))" \
    "$start" "$end" "$rows" "$(tail -1 "$work/mem")" "$kind" "$office" "$made" "$papers"
