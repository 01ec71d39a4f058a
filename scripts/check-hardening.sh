#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that programs were built with Debian's hardening flags, from their ELF headers and symbols (as
# devscripts' hardening-check does): position independent, read-only relocations (RELRO) bound at start
# (BIND_NOW), the stack protector and fortified functions (_FORTIFY_SOURCE) in use.
# Usage: scripts/check-hardening.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
    headers=$(readelf --wide --file-header --program-headers --dynamic "$program")
    symbols=$(readelf --wide --dyn-syms "$program")
    missing=()
    grep -q 'Type:[[:space:]]*DYN' <<<"$headers" || missing+=("PIE")
    grep -q 'GNU_RELRO' <<<"$headers" || missing+=("RELRO (-Wl,-z,relro)")
    grep -qE '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$headers" || missing+=("BIND_NOW (-Wl,-z,now)")
    grep -q '__stack_chk_fail' <<<"$symbols" || missing+=("stack protector (-fstack-protector-strong)")
    grep -qE ' __[a-z0-9_]+_chk(@|$)' <<<"$symbols" || missing+=("fortified functions (-D_FORTIFY_SOURCE=2)")
    if [ ${#missing[@]} -eq 0 ]; then
        echo "$program: hardened (PIE, RELRO, BIND_NOW, stack protector, fortified functions)"
    else
        echo "$program: built without: $(printf "%s; " "${missing[@]}" | sed "s/; $//")"
        status=1
    fi
done
exit $status
