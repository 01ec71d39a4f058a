#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times --toplu-tablo end to end on a generated table of employees (1,000 rows unless told otherwise),
# with the legal figures of each row's exit date, and reports the time and the peak memory.
# Usage: scripts/bench-toplu-tablo.sh [build folder] [rows] [.csv|.xlsx|.ods]
set -euo pipefail
bin="${1:-build}/bin/pamerol-hesap"
rows="${2:-1000}"
kind="${3:-.csv}"
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
start=$(date +%s.%N)
/usr/bin/time -f '%M' -o "$work/mem" "$bin" --toplu-tablo "$work/personel.csv" --cikti "$work/sonuc$kind" > /dev/null
end=$(date +%s.%N)
python3 -c "import sys; t=float(sys.argv[2])-float(sys.argv[1]); print(f'{sys.argv[3]} employees to a results table ({sys.argv[5]}) in {t:.2f} s, peak memory {int(sys.argv[4])/1024:.0f} MB')" \
    "$start" "$end" "$rows" "$(cat "$work/mem")" "$kind"
