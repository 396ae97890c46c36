#!/bin/sh
# make-seeds.sh REALDATA_DIR OUT_DIR
# Writes fuzz seeds from Microsoft's published updates: their signature lists, header
# stripped, at most 8 KiB each.
set -eu
updates="$1/updates"
out=$2
mkdir -p "$out"
for f in db-update-windows-uefi-ca-2023 dbx-update-2024 dbx-update-amd64; do
    len=$(od -An -tu4 -j16 -N4 "$updates/$f.bin" | tr -d ' ')
    tail -c +$((16 + len + 1)) "$updates/$f.bin" | head -c 8192 > "$out/$f"
done
