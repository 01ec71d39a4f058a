#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the folders are layers: a file may include headers of its own folder and of the folders below
# it, never of a folder above. The order, lowest first (folders on one line are side by side and may not
# include each other):
layers=(
    "base"
    "tax"
    "calc"
    "sheet"
    "figures archive"
    "statement"
    "printouts"
    "toplu"
    "ui cli"
)
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A level
for i in "${!layers[@]}"; do
    for folder in ${layers[$i]}; do level[$folder]=$i; done
done
status=0
for folder in "${!level[@]}"; do
    [ -d "$folder" ] || continue
    while IFS=: read -r file line include; do
        target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
        [ -n "${level[$target]+x}" ] || continue
        if [ "$target" != "$folder" ] && [ "${level[$target]}" -ge "${level[$folder]}" ]; then
            echo "$file:$line: $folder/ may not include from $target/: $include"
            status=1
        fi
    done < <(grep -rnE '^#include "[^/"]+/' "$folder" --include='*.cpp' --include='*.h' || true)
done
[ $status -eq 0 ] && echo "Layers: every include points down."
exit $status
