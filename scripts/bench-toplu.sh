#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the companion's batch mode end to end (one process, JSON Lines in and out) on 100,000
# generated cases. Usage: scripts/bench-toplu.sh [build folder]
set -euo pipefail
bin="${1:-build}/bin/pamerol-hesap"
cases=$(mktemp)
trap 'rm -f "$cases"' EXIT
python3 - "$cases" <<'PY'
import random, sys
random.seed(7)
with open(sys.argv[1], "w") as f:
    for i in range(100000):
        y1 = random.randint(1995, 2007)
        y2 = y1 + 1 + i % 9
        f.write('{"DVOR":"6","KGN":"30","TAV":"2030,19","DL1":"14","DL2":"28","DL3":"42","DL4":"56",'
                '"O1":"15","O2":"20","O3":"27","O4":"35","O5":"35","VD1":"7500","VD2":"19000","VD3":"43000",'
                '"VD4":"999999999","VD5":"999999999",'
                f'"GTarih":"{random.randint(1,28):02d}.{random.randint(1,12):02d}.{y1}",'
                f'"CTarih":"{random.randint(1,28):02d}.{random.randint(1,12):02d}.{y2}",'
                f'"ESUCRET":"{random.randint(500,9000)},50","DGVMAT":"{random.randint(0,20000)}"}}\n')
PY
start=$(date +%s.%N)
"$bin" --toplu < "$cases" > /dev/null
end=$(date +%s.%N)
python3 -c "import sys; t=float(sys.argv[2])-float(sys.argv[1]); print(f'100000 cases in {t:.2f} s: {100000/t:,.0f} cases per second')" "$start" "$end"
